// The subcommand table of the kivo tool and the helpers the subcommands share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vfs/vr_file_collection.h"

namespace kivo::tool {

struct TToolCommand {
  const char* name;
  const char* summary;  // one line for "kivo --help"
  const char* help;     // the whole text of "kivo NAME --help"
  int (*run)(const std::vector<std::string>& args);
};

// Every subcommand, in the order "kivo --help" lists them. A new subcommand is one more line.
const std::vector<TToolCommand>& Commands();

// Exit statuses: 0 done, 1 the work failed (or, for verify, found mismatches), 2 usage error.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Raised for bad command lines; the dispatcher prints it with the usage hint.
struct TUsageError {
  std::string message;
};

// Splits arguments into positionals and "-X VALUE" options; "--help" is taken by the dispatcher.
struct TArguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;
  const std::string* Option(const std::string& name) const;
};
TArguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions);

// Opens any archive form: game.dat and its volumes, an ".ext" pair, a program file with an
// appended archive, or a Windows program carrying the resource archive.
std::unique_ptr<TVrFileCollection> OpenArchive(const std::string& path);

// A data name (CP932, "\") for the terminal: UTF-8 with "/".
std::string DisplayName(const std::string& dataName);
// Prints "kivo CMD: message" on stderr; message is UTF-8.
void Complain(const char* command, const std::string& messageUtf8);

}  // namespace kivo::tool
