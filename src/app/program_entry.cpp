// Program entry and unit start-up/finalisation.
#include "app/program_entry.h"

#include <cstdio>
#include <stdexcept>

#include "app/form_view.h"
#include "media/plugin/plugin_library.h"
#include "platform/instance_lock.h"
#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace kivo {

std::string InstanceName(const std::string& folder) {
  std::string name;
  for (char c : folder) name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  if (name.empty() || (name.back() != '/' && name.back() != '\\')) name.push_back('/');
  for (char& c : name)
    if (c == '/' || c == '\\') c = '-';
  return name;
}

namespace {

bool SameTextIgnoringCase(const std::string& a, const char* b) {
  std::string x = a, y = b;
  for (char& c : x) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : y) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return x == y;
}

int RunMainWindow(const TOptions& options, ISubsystemFactory& factory, IDataHost& data) {
  std::unique_ptr<IWindow> window;
  try {
    window = CreateWindow(options.headless ? WindowBackend::Headless : WindowBackend::Sdl);
  } catch (const EKivoError& e) {
    std::fprintf(stderr, "kivoplay: cannot open the window (%s); use --headless without a display\n",
                 e.what());
    return 1;
  }
  TFormView form(*window, factory, data, options);
  form.FormCreate();
  if (form.ExitRequested()) return 1;
  form.Run();
  return 0;
}

}  // namespace

int RunProgram(const std::vector<std::string>& args, ISubsystemFactory& factory) {
  TOptions options;
  try {
    options = ParseOptions(args);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "kivoplay: %s\n", e.what());
    return 2;
  }
  if (options.help) {
    std::fputs(OptionsHelpText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(VersionText().c_str(), stdout);
    return 0;
  }
  if (!options.headless && !HasDisplay()) {
    std::fprintf(stderr, "kivoplay: no display ($DISPLAY and $WAYLAND_DISPLAY are unset); use --headless\n");
    return 2;
  }
  SetMessageBoxesHeadless(options.headless);
  if (!options.traceFile.empty() && !TTrace::OpenFile(options.traceFile)) {
    std::fprintf(stderr, "kivoplay: cannot write the trace file %s\n", options.traceFile.c_str());
    return 2;
  }
  TTrace::LoadLibrary(ProgramFolder());

  // Unit start-up: the data file manager and the plug-in exist before the window.
  std::unique_ptr<IDataHost> data = factory.CreateData();
  if (!LoadKivoPluginOrReport(ProgramFolder())) {
    TTrace::Close();
    return 1;
  }

  int status = 0;
  if (IsOnOpticalDrive(ProgramFile())) {
    status = 0;  // never runs from the disc itself
  } else {
    TInstanceLock lock(InstanceName(options.arguments.empty() ? ProgramFolder() : options.arguments.front()));
    if (!lock.Acquired()) {
      status = 0;  // the game is already running for this folder
    } else if (!options.arguments.empty() && SameTextIgnoringCase(options.arguments.front(), "/config")) {
      status = 0;  // the settings dialog comes with its own window; the player does not start
    } else {
      try {
        status = RunMainWindow(options, factory, *data);
      } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "kivoplay: %s\n", e.what());
        status = 2;
      }
    }
  }

  // Unit finalisation.
  data.reset();
  KivoPlugin().Unload();
  TTrace::Close();
  return status;
}

}  // namespace kivo
