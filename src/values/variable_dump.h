// The variable dump of automated runs: one "NAME<TAB>KIND<TAB>VALUE" line per variable (UTF-8),
// array elements one line each, system variables and temporaries left out, sorted by name.
#pragma once

#include <string>

namespace kivo {

class TParamCollection;

std::string DumpVariables(const TParamCollection& vars);
// Writes the dump atomically; false when the file cannot be written.
bool WriteVariableDump(const TParamCollection& vars, const std::string& path);

}  // namespace kivo
