// The program entry: options, the plug-in, the one-instance rule, the settings route and the
// main window's life, ending in the process's exit status.
#pragma once

#include <string>
#include <vector>

namespace kivo {

class ISubsystemFactory;

// The name of the one-instance lock for a data folder: upper-cased, a trailing delimiter, every
// delimiter turned into "-".
std::string InstanceName(const std::string& folder);

// Runs the player with argv[1..]; returns the exit status.
int RunProgram(const std::vector<std::string>& args, ISubsystemFactory& factory);

}  // namespace kivo
