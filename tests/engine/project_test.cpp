// The project's construction: the project file, initial variables, the start and exit pages,
// the installation check and disc prompts.
#include <gtest/gtest.h>

#include "engine/project.h"
#include "platform/message_box.h"
#include "script_builder.h"
#include "support/frame_timing.h"
#include "testkit/temp_folder.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "vfs/vr_file_manager.h"

namespace kivo {
namespace {

class ProjectTest : public ::testing::Test {
protected:
  ProjectTest() {
    FrameTiming().Reset();
    TVrFileManager::DestroyInstance();
    TVrFileManager::Instance().RegisterArchive("");
    TVrFileManager::Instance().SetBaseFolder(game.Path());
    SetMessageBoxResponder([this](const std::string& caption, const std::string& text, MessageButtons) {
      shown.push_back(caption + "|" + text);
      return MessageAnswer::Cancel;
    });
    setting.title = "Demo";
    setting.startPage = "start.ksb";
    setting.initialVariables = {{"score", TInitialVariable::Integer, 7, 0, false, ""},
                                {"name", TInitialVariable::String, 0, 0, false, "kivo"}};
  }
  ~ProjectTest() override {
    SetMessageBoxResponder(nullptr);
    TVrFileManager::DestroyInstance();
  }

  void WriteProject() {
    TMemoryStream s;
    setting.SaveToStream(s);
    game.Write("kivo.kpb", std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size())));
  }
  std::unique_ptr<TProject> Make(std::vector<std::string> args) {
    return std::make_unique<TProject>(funcs, events, TProjectContext{std::move(args), game.Path(), {}});
  }
  std::string Var(const std::string& name) {
    TParamCollectionItem* v = vars.FindVar(name);
    return v ? v->Param->AsString() : "<none>";
  }

  testkit::TempFolder game;
  TProjectSetting setting;
  TParamCollection vars;
  TSysFuncMan funcs{vars};
  TTimerList events;
  std::vector<std::string> shown;
};

TEST_F(ProjectTest, LoadsDefinesVariablesAndRunsStartAndExitPages) {
  setting.exitPage = "exit.ksb";
  WriteProject();
  testing::TScript start("start.ksb");
  start.Calc(0, "score = score + 1");
  start.SaveTo(game.File("start.ksb"));
  testing::TScript exitPage("exit.ksb");
  exitPage.Calc(0, "name = \"bye\"");
  exitPage.SaveTo(game.File("exit.ksb"));
  vars.AddVar(PT_STR).SetName("name");  // restored earlier: keeps its value
  RunText("name = \"restored\"", funcs);
  {
    auto project = Make({game.Path()});
    EXPECT_FALSE(FrameTiming().exitRequested);
    EXPECT_EQ(project->Title(), "Demo");
    EXPECT_TRUE(vars.FindVar("score")->IsStatus);
    EXPECT_EQ(Var("name"), "restored");
    project->Run();
    EXPECT_EQ(Var("score"), "8");
    EXPECT_EQ(project->SaveFilePath(), game.Path() + "save.dat");
  }
  EXPECT_EQ(Var("name"), "bye") << "the exit page ran once at the end";
  EXPECT_TRUE(shown.empty());
}

TEST_F(ProjectTest, FailuresLeaveTheExitFlagSet) {
  const std::string warning = "\x8Cx\x8D\x90|";
  // No project file: silent.
  Make({game.Path()});
  EXPECT_TRUE(FrameTiming().exitRequested);
  EXPECT_TRUE(shown.empty());
  // An empty one.
  game.Write("kivo.kpb", "");
  Make({game.Path()});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], warning + "\x83v\x83\x8D\x83W\x83" "F\x83N\x83g\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
  // No start page.
  WriteProject();
  Make({game.Path()});
  EXPECT_TRUE(FrameTiming().exitRequested);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], warning + "\x83X\x83^\x81[\x83g\x83y\x81[\x83W\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
  // A newer version reaches the caller.
  setting.version = 117;
  WriteProject();
  EXPECT_THROW(Make({game.Path()}), EKivoError);
}

TEST_F(ProjectTest, WithoutAFolderArgumentTheInstallationIsChecked) {
  WriteProject();
  Make({});
  EXPECT_TRUE(FrameTiming().exitRequested);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "\x8F\xEE\x95\xF1|\x83" "C\x83\x93\x83X\x83g\x81[\x83\x8B\x82\xB5\x92\xBC\x82\xB5\x82\xC4\x82\xAD"
                      "\x82\xBE\x82\xB3\x82\xA2");
}

TEST_F(ProjectTest, MissingMediaNeverAskForADisc) {
  setting.folderDiscs.Add("BGM\\", 2);
  WriteProject();
  testing::TScript start("start.ksb");
  start.SaveTo(game.File("start.ksb"));
  auto project = Make({game.Path()});
  shown.clear();
  // Declining the disc, then confirming the quit notice, gives up.
  SetMessageBoxResponder([this](const std::string& caption, const std::string& text, MessageButtons) {
    shown.push_back(caption + "|" + text);
    return shown.size() % 2 == 1 ? MessageAnswer::Cancel : MessageAnswer::Ok;
  });
  EXPECT_FALSE(project->FileExistsOrAskForDisc("bgm\\title.ogg"));
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(project->FileExistsOrAskForDisc("bgm\\title.bry"));
  EXPECT_FALSE(shown.empty()) << "a picture on disc 2 asks for it";
  EXPECT_FALSE(project->FileExistsOrAskForDisc("cg\\none.bry")) << "not on a listed disc";
  EXPECT_TRUE(project->FileExistsOrAskForDisc("start.ksb"));
}

}  // namespace
}  // namespace kivo
