// Minimal games for the end-to-end tests.
#include <fstream>
#include <vector>

#include "engine/commands/flow_commands.h"
#include "engine/page.h"
#include "engine/project_setting.h"
#include "minimal_game.h"
#include "values/expr/build_parser.h"

namespace kivo::testkit {
namespace {

void WriteStream(const std::string& path, TMemoryStream& s) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(s.Memory()), s.Size());
}

}  // namespace

void WriteMinimalGame(const std::string& folder, const std::vector<std::string>& statements) {
  TProjectSetting setting;
  setting.title = "E2E";
  setting.startPage = "start.ksb";
  TMemoryStream project;
  setting.SaveToStream(project);
  WriteStream(folder + "kivo.kpb", project);

  TPage page;
  int line = 1;
  auto declare = std::make_unique<TComVarNew>();
  declare->SetHead(0, false, true, line++);
  declare->name = "counter";
  declare->type = 1;
  page.Add(std::move(declare));
  for (const std::string& text : statements) {
    auto calc = std::make_unique<TComCalc>();
    calc->SetHead(0, false, false, line++);
    TBuildKivoParser build;
    build.Compile(text);
    TMemoryStream runForm;
    build.WriteRunForm(runForm);
    runForm.SetPosition(0);
    calc->statement.LoadRunForm(runForm);
    page.Add(std::move(calc));
  }
  TMemoryStream pageBytes;
  page.SaveToStream(pageBytes);
  WriteStream(folder + "start.ksb", pageBytes);
}

}  // namespace kivo::testkit
