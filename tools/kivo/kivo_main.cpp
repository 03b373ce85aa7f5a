// kivo: the data tool for people who make, inspect and repair games. This file dispatches to the
// subcommands of the table in tool_command.h.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "tool_command.h"

namespace kivo::tool {

int LsCommand(const std::vector<std::string>& args);
int ExtractCommand(const std::vector<std::string>& args);
int PackCommand(const std::vector<std::string>& args);
int AppendCommand(const std::vector<std::string>& args);
int VerifyCommand(const std::vector<std::string>& args);
int BuildCommand(const std::vector<std::string>& args), DumpCommand(const std::vector<std::string>& args);
extern const char kLsHelp[], kExtractHelp[], kPackHelp[], kAppendHelp[], kVerifyHelp[];
extern const char kBuildHelp[], kDumpHelp[];

const std::vector<TToolCommand>& Commands() {
  static const std::vector<TToolCommand> commands = {
      {"ls", "list the entries of an archive", kLsHelp, LsCommand},
      {"x", "extract entries of an archive into a folder", kExtractHelp, ExtractCommand},
      {"pack", "write a folder as a version-102 archive", kPackHelp, PackCommand},
      {"append", "append an archive to a program file", kAppendHelp, AppendCommand},
      {"verify", "recompute the checksums of an archive", kVerifyHelp, VerifyCommand},
      {"build", "compile a game source folder into pages and project files", kBuildHelp, BuildCommand},
      {"dump", "print pages, project files or an archive's pages as source text", kDumpHelp, DumpCommand},
  };
  return commands;
}

namespace {

void PrintOverview(FILE* out) {
  std::fprintf(out, "usage: kivo COMMAND [ARGS]\n\nCommands:\n");
  for (const TToolCommand& c : Commands()) std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
  std::fprintf(out, "\nkivo COMMAND --help describes one command.\n");
}

}  // namespace
}  // namespace kivo::tool

int main(int argc, char** argv) {
  using namespace kivo::tool;
  kivo::SetMessageBoxesHeadless(true);
  if (argc < 2) {
    PrintOverview(stderr);
    return kExitUsage;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintOverview(stdout);
    return kExitOk;
  }
  for (const TToolCommand& command : Commands()) {
    if (name != command.name) continue;
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const std::string& a : args) {
      if (a == "--help" || a == "-h") {
        std::fputs(command.help, stdout);
        return kExitOk;
      }
    }
    try {
      return command.run(args);
    } catch (const TUsageError& e) {
      Complain(command.name, e.message + " (see kivo " + command.name + " --help)");
      return kExitUsage;
    } catch (const kivo::EKivoError& e) {
      Complain(command.name, kivo::Cp932ToUtf8(e.what()));
      return kExitFailed;
    } catch (const std::exception& e) {
      Complain(command.name, e.what());
      return kExitFailed;
    }
  }
  std::fprintf(stderr, "kivo: unknown command '%s' (see kivo --help)\n", name.c_str());
  return kExitUsage;
}
