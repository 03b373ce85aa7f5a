// Small games in the scenario text, built with kivo and played headless by kivoplay; each one's
// variable dump is checked against the lines of its expect.txt.
//
// expect.txt: "frames N" (ticks to play, default 10), "tick-ms MS" (default 15), dump lines
// "NAME<TAB>KIND<TAB>VALUE" that must appear as they stand, and "absent NAME" for a variable
// that must not be in the dump. Blank lines and lines starting with # are ignored.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_program.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

const std::string kBin = KIVO_BIN_DIR;
const std::filesystem::path kGames = std::filesystem::path(KIVO_SOURCE_DIR) / "tests/e2e/games";

struct TExpectation {
  std::string frames = "10";
  std::string tickMs = "15";
  std::vector<std::string> lines;
  std::vector<std::string> absent;
};

TExpectation ReadExpectation(const std::string& text) {
  TExpectation e;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("frames ")) e.frames = line.substr(7);
    else if (line.starts_with("tick-ms ")) e.tickMs = line.substr(8);
    else if (line.starts_with("absent ")) e.absent.push_back(line.substr(7));
    else e.lines.push_back(line);
  }
  return e;
}

std::vector<std::string> GameNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kGames))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ScriptGame : public ::testing::TestWithParam<std::string> {};

TEST_P(ScriptGame, PlaysToItsExpectedVariables) {
  const std::filesystem::path source = kGames / GetParam();
  testkit::TempFolder work;
  std::string expectText;
  {
    std::ifstream in(source / "expect.txt");
    std::ostringstream s;
    s << in.rdbuf();
    expectText = s.str();
  }
  TExpectation expect = ReadExpectation(expectText);

  std::string game = work.File("game");
  auto build = testkit::RunProgramAndWait(kBin + "/kivo", {"build", source.string(), "-o", game});
  ASSERT_EQ(build.status, 0) << build.err;
  auto play = testkit::RunProgramAndWait(kBin + "/kivoplay", {"--headless", "--frames", expect.frames, "--tick-ms",
                                                              expect.tickMs, "--dump-vars", work.File("vars.txt"),
                                                              game});
  ASSERT_EQ(play.status, 0) << play.err;
  std::string dump = work.Read("vars.txt");
  std::vector<std::string> dumped;
  std::istringstream in(dump);
  for (std::string line; std::getline(in, line);) dumped.push_back(line);
  for (const std::string& line : expect.lines)
    EXPECT_NE(std::find(dumped.begin(), dumped.end(), line), dumped.end()) << "missing: " << line << "\ndump:\n" << dump;
  for (const std::string& name : expect.absent)
    for (const std::string& line : dumped)
      EXPECT_FALSE(line.starts_with(name + "\t") || line.starts_with(name + "[")) << name << " is in the dump:\n" << dump;
}

INSTANTIATE_TEST_SUITE_P(Games, ScriptGame, ::testing::ValuesIn(GameNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace kivo
