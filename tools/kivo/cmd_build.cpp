// kivo build: compiles a game source folder into the player's files.
#include <cstdio>

#include "platform/cp932.h"
#include "platform/kivo_error.h"
#include "scenario/page_text.h"
#include "scenario/scenario_build.h"
#include "tool_command.h"

namespace kivo::tool {

int PackCommand(const std::vector<std::string>& args);

extern const char kBuildHelp[] =
    "usage: kivo build SRC -o OUT [--pack]\n"
    "\n"
    "Compiles the game source folder SRC: project.txt becomes OUT/kivo.kpb and OUT/install.dat,\n"
    "every NAME.kss page becomes OUT/NAME.ksb, and every other file is copied as it is (subfolders\n"
    "kept). Sources are UTF-8 and are stored as Shift-JIS. Problems are reported as\n"
    "FILE:LINE:COLUMN: message, and nothing is written when there is one. --pack also writes the\n"
    "whole of OUT as OUT/game.dat. docs/scenario-text.md describes the source form.\n";

int BuildCommand(const std::vector<std::string>& args) {
  std::vector<std::string> rest;
  bool pack = false;
  for (const std::string& a : args) {
    if (a == "--pack") pack = true;
    else rest.push_back(a);
  }
  TArguments a = ParseArguments(rest, {"-o"});
  if (a.positional.size() != 1 || !a.Option("-o")) throw TUsageError{"expected SRC and -o OUT"};
  const std::string& out = *a.Option("-o");
  scenario::TBuildResult result;
  try {
    result = scenario::BuildGame(a.positional[0], out);
  } catch (const scenario::ESourceErrors& e) {
    for (const scenario::TSourceError& error : e.Errors()) std::fprintf(stderr, "%s\n", error.Text().c_str());
    std::fprintf(stderr, "kivo build: %zu problem(s); nothing was written\n", e.Errors().size());
    return kExitFailed;
  }
  std::printf("%d pages and %d other files built into %s\n", result.pages, result.assets, out.c_str());
  if (pack) return PackCommand({out, "-o", out + "/game.dat"});
  return kExitOk;
}

}  // namespace kivo::tool
