// Command-line parsing.
#include "app/options.h"

#include <charconv>
#include <climits>
#include <stdexcept>

namespace kivo {
namespace {

long ParseNumber(const std::string& option, const std::string& text, long minimum, long maximum = LONG_MAX) {
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum)
    throw std::invalid_argument(option + " wants a whole number from " + std::to_string(minimum) +
                                (maximum == LONG_MAX ? std::string(" up") : " to " + std::to_string(maximum)) +
                                ", not '" + text + "'");
  return value;
}

// The frame loop drops intervals of 300 ms or more as stalls, so a longer fixed delta never ticks.
constexpr long kLongestTickMs = 299;

}  // namespace

TOptions ParseOptions(const std::vector<std::string>& args) {
  TOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // Our options come first; the first other word starts the original command line.
    if (!o.arguments.empty() || a.rfind("--", 0) != 0) {
      o.arguments.push_back(a);
      continue;
    }
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      return args[++i];
    };
    if (a == "--headless") o.headless = true;
    else if (a == "--fullscreen") o.fullScreen = true;
    else if (a == "--tick-ms") o.tickMs = static_cast<int>(ParseNumber(a, value(), 1, kLongestTickMs));
    else if (a == "--frames") o.frames = ParseNumber(a, value(), 0);
    else if (a == "--input") o.inputFile = value();
    else if (a == "--dump-vars") o.dumpVarsFile = value();
    else if (a == "--screenshot") o.screenshotFile = value();
    else if (a == "--trace") o.traceFile = value();
    else if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--version") o.version = true;
    else if (a == "--") {
      o.arguments.assign(args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else throw std::invalid_argument("unknown option " + a + " (see kivoplay --help)");
  }
  return o;
}

std::string OptionsHelpText() {
  return "usage: kivoplay [OPTIONS] [GAME-FOLDER | /config] [FOLDER-OR-ARCHIVE ...]\n"
         "\n"
         "Plays the game in GAME-FOLDER (default: the program's folder). Further folders and\n"
         "archives are searched for data in the order given. /config (the settings) exits for now.\n"
         "\n"
         "Options:\n"
         "  --fullscreen       start in full screen (Alt+Enter toggles it)\n"
         "  --headless         no window and no sound; a fixed clock, ticks run back to back\n"
         "  --tick-ms MS       frame delta of the headless clock (default 15)\n"
         "  --frames N         end the run after N ticks, then shut down normally\n"
         "  --input FILE       scripted input: one 'TICK EVENT ARGS' a line\n"
         "  --dump-vars FILE   write the variables when the run ends\n"
         "  --screenshot FILE  write the last presented frame as PNG when the run ends\n"
         "  --trace FILE       write the per-command trace lines\n"
         "  --version          print the version\n"
         "  --help             print this help\n";
}

std::string VersionText() { return "kivoplay " KIVO_VERSION "\n"; }

}  // namespace kivo
