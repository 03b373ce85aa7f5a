// Writes a small game into a folder: a project file and a start page built in code.
#pragma once

#include <string>
#include <vector>

namespace kivo::testkit {

// A 640 x 480 project titled "E2E" whose start page runs `statements` (one Calc each, each
// yielding the frame) after declaring the integer variable `counter`.
void WriteMinimalGame(const std::string& folder, const std::vector<std::string>& statements);

}  // namespace kivo::testkit
