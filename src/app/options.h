// The command line: kivoplay's own automation options, then the original player's arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kivo {

struct TOptions {
  bool headless = false;
  bool fullScreen = false;
  int tickMs = 15;
  std::optional<long> frames;  // end after this many ticks
  std::string inputFile;
  std::string dumpVarsFile;
  std::string screenshotFile;
  std::string traceFile;
  bool help = false;
  bool version = false;
  // The original command line: an optional data folder or "/config", then folders or archives.
  std::vector<std::string> arguments;
};

// Parses argv[1..]; throws std::invalid_argument with a message on a usage error.
TOptions ParseOptions(const std::vector<std::string>& args);

std::string OptionsHelpText();
std::string VersionText();

}  // namespace kivo
