// Runs a program of the build and collects its exit status and output.
#pragma once

#include <string>
#include <vector>

namespace kivo::testkit {

struct ProgramResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with the arguments (no shell), waiting for it to end.
ProgramResult RunProgramAndWait(const std::string& program, const std::vector<std::string>& args);

}  // namespace kivo::testkit
