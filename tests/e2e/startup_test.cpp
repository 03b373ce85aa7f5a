// kivoplay as a program: a headless run with its trace, usage errors, and a missing or foreign plug-in.
#include <gtest/gtest.h>

#include <filesystem>

#include "minimal_game.h"
#include "run_program.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

const std::string kBin = KIVO_BIN_DIR;
const std::string kPlayer = kBin + "/kivoplay";

TEST(Startup, HeadlessRunTracesItsStepsAndCommandsAndDumpsVariables) {
  testkit::TempFolder game;
  testkit::WriteMinimalGame(game.Path(), {"counter = counter + 1", "counter = counter + 10", "counter = counter + 100"});
  auto r = testkit::RunProgramAndWait(kPlayer, {"--headless", "--frames", "2", "--tick-ms", "16", "--trace",
                                                game.File("trace.txt"), "--dump-vars", game.File("vars.txt"),
                                                game.Path()});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string trace = game.Read("trace.txt");
  for (const char* label : {"# FormCreate", "# KivoInitialize", "# TProject.Create", "# MediaInit", "# Project.Free",
                            "# MediaFinal"})
    EXPECT_NE(trace.find(label), std::string::npos) << label << " in\n" << trace;
  EXPECT_LT(trace.find("# MediaInit"), trace.find("# Project.Free"));
  // Two ticks of 16 ms: the declaration and the first Calc, then the second Calc.
  EXPECT_NE(trace.find("00000010 : start.ksb(1)\n00000010 : start.ksb(2)\n00000020 : start.ksb(3)\n"),
            std::string::npos)
      << trace;
  EXPECT_EQ(game.Read("vars.txt"), "counter\tint\t11\n");
}

TEST(Startup, AFolderWithoutAProjectFailsToStart) {
  testkit::TempFolder empty;
  auto r = testkit::RunProgramAndWait(kPlayer, {"--headless", "--frames", "2", empty.Path()});
  EXPECT_EQ(r.status, 1);
}

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const std::string& bytes) {
  auto be = [&](size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  return {be(16), be(20)};
}

TEST(Startup, ScreenshotsOfThePresentedFrame) {
  testkit::TempFolder game;
  testkit::WriteMinimalGame(game.Path(), {});
  game.Write("input.txt", "# a screenshot in the middle of the run\n2 screenshot " + game.File("mid.png") + "\n");
  auto r = testkit::RunProgramAndWait(kPlayer, {"--headless", "--frames", "3", "--input", game.File("input.txt"),
                                                "--screenshot", game.File("end.png"), game.Path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(PngSize(game.Read("mid.png")), (std::pair<int, int>{640, 480}));
  EXPECT_EQ(PngSize(game.Read("end.png")), (std::pair<int, int>{640, 480}));
}

TEST(Startup, UsageErrorsExitNonZero) {
  auto r = testkit::RunProgramAndWait(kPlayer, {"--frames", "soon"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--frames"), std::string::npos);
  auto help = testkit::RunProgramAndWait(kPlayer, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--headless"), std::string::npos);
}

// Copies kivoplay alone into a folder, optionally with a given plug-in beside it.
std::string PlayerWithPlugin(const testkit::TempFolder& folder, const std::string& plugin) {
  std::filesystem::copy_file(kPlayer, folder.File("kivoplay"));
  if (!plugin.empty()) std::filesystem::copy_file(plugin, folder.File("libkivo.so"));
  return folder.File("kivoplay");
}

TEST(Startup, MissingPluginIsReported) {
  testkit::TempFolder folder;
  auto r = testkit::RunProgramAndWait(PlayerWithPlugin(folder, ""), {"--headless", "--frames", "1", folder.Path()});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Error: kivo.dll\r\n\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB"), std::string::npos)
      << r.err;
}

TEST(Startup, PluginOfAnotherVersionIsRefused) {
  testkit::TempFolder folder;
  auto r = testkit::RunProgramAndWait(PlayerWithPlugin(folder, KIVO_WRONG_PLUGIN), {"--headless", folder.Path()});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Error: kivo.dll\xE3\x81\xAE"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace kivo
