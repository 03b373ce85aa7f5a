// The trace sink: per-command trace lines and start-up/shutdown labels go to the --trace file and to
// the optional trace library. Without either, tracing costs one branch.
#pragma once

#include <string>

namespace kivo {

class TTrace {
public:
  // Opens the --trace file (UTF-8 lines); false when it cannot be created.
  static bool OpenFile(const std::string& path);
  // Loads the optional trace library from the program folder and calls its init with "dbglog.txt".
  static void LoadLibrary(const std::string& programFolder);
  static void Close();

  static bool Enabled();
  // A trace line as the engine formats it (CP932).
  static void Write(const std::string& lineCp932);
  // A start-up or shutdown step label; written to the trace file as "# LABEL".
  static void Label(const char* label);
};

}  // namespace kivo
