// ListFiles over a real folder, and SetDesktopWallpaper with a stand-in gsettings.
#include "support/list_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/wallpaper.h"
#include "testkit/temp_folder.h"

namespace kivo {
namespace {

class ListFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_.Write("a.BMP", "x");
    folder_.Write("b.txt", "x");
    folder_.Write("\xe3\x82\xa2.bmp", "x");  // a UTF-8 name on disk ("a" in katakana)
    folder_.Write("sub/c.bmp", "x");
    folder_.Write("sub/deep/d.bmp", "x");
    std::filesystem::create_directory(folder_.File("empty"));
    // A link back to the folder itself must not make recursion endless.
    std::filesystem::create_directory_symlink(folder_.Path(), folder_.File("sub/loop"));
  }
  std::vector<std::string> List(int32_t mask, bool plain, const std::string& ext, bool mark, bool recursive) {
    std::vector<std::string> list{"kept"};
    ListFiles(folder_.Path(), mask, plain, ext, mark, recursive, list, true);
    return list;
  }
  testkit::TempFolder folder_;
};

TEST_F(ListFilesTest, FiltersByKindAndExtension) {
  EXPECT_EQ(List(FA_ANYFILE, false, "", true, false),
            (std::vector<std::string>{"a.BMP", "b.txt", "empty\\", "sub\\", "\x83\x41.bmp"}));
  EXPECT_EQ(List(FA_DIRECTORY, false, "", false, false), (std::vector<std::string>{"empty", "sub"}));
  EXPECT_EQ(List(0, true, "bmp", false, false), (std::vector<std::string>{"a.BMP", "\x83\x41.bmp"}));
  EXPECT_EQ(List(FA_READONLY, false, "", false, false), std::vector<std::string>{});
  EXPECT_EQ(List(FA_ARCHIVE, false, ".TXT", false, false), std::vector<std::string>{"b.txt"});
}

TEST_F(ListFilesTest, RecursesWithMarkedSubFolders) {
  EXPECT_EQ(List(FA_ANYFILE, true, ".bmp", false, true),
            (std::vector<std::string>{"a.BMP", "empty", "sub", "sub\\c.bmp", "sub\\deep\\", "sub\\deep\\d.bmp",
                                      "sub\\loop\\", "\x83\x41.bmp"}));
  std::vector<std::string> list{"kept"};
  ListFiles(folder_.File("missing"), FA_ANYFILE, true, "", false, true, list, false);
  EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

// Puts a stand-in gsettings that records its arguments first on PATH for the test's duration.
class WallpaperTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    oldPath_ = path != nullptr ? path : "";
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    oldDesktop_ = desktop != nullptr ? std::optional<std::string>(desktop) : std::nullopt;
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    bitmap_ = folder_.Write("wall paper.bmp", "BM");
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    if (oldDesktop_) setenv("XDG_CURRENT_DESKTOP", oldDesktop_->c_str(), 1);
    else unsetenv("XDG_CURRENT_DESKTOP");
  }
  void UseFakeGsettings(int exitCode) {
    std::string script = "#!/bin/sh\necho \"$@\" >> '" + folder_.File("calls") + "'\nexit " + std::to_string(exitCode) + "\n";
    std::string fake = folder_.Write("bin/gsettings", script);
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
    setenv("PATH", (folder_.File("bin") + ":/usr/bin:/bin").c_str(), 1);
  }
  testkit::TempFolder folder_;
  std::string oldPath_;
  std::optional<std::string> oldDesktop_;
  std::string bitmap_;
};

TEST_F(WallpaperTest, SetsPictureAndStyleThroughGsettings) {
  UseFakeGsettings(0);
  EXPECT_TRUE(SetDesktopWallpaper(bitmap_, 1));
  std::string uri = "file://" + folder_.Path() + "wall%20paper.bmp";
  EXPECT_EQ(folder_.Read("calls"), "set org.gnome.desktop.background picture-uri " + uri + "\n" +
                                       "set org.gnome.desktop.background picture-uri-dark " + uri + "\n" +
                                       "set org.gnome.desktop.background picture-options wallpaper\n");
  EXPECT_TRUE(SetDesktopWallpaper(bitmap_, 0));
  EXPECT_TRUE(SetDesktopWallpaper(bitmap_, 7));
  EXPECT_NE(folder_.Read("calls").find("picture-options centered\n"), std::string::npos);
  EXPECT_NE(folder_.Read("calls").find("picture-options stretched\n"), std::string::npos);
  EXPECT_FALSE(SetDesktopWallpaper(folder_.File("missing.bmp"), 0));
}

TEST_F(WallpaperTest, FalseWithoutGsettingsOrWhenItFails) {
  setenv("PATH", folder_.File("nothing-here").c_str(), 1);
  EXPECT_FALSE(SetDesktopWallpaper(bitmap_, 0));
  UseFakeGsettings(1);
  EXPECT_FALSE(SetDesktopWallpaper(bitmap_, 0));
  // Desktops that do not read the GNOME settings would accept them and show nothing.
  UseFakeGsettings(0);
  for (const char* desktop : {"KDE", "XFCE", "X-Cinnamon"}) {
    setenv("XDG_CURRENT_DESKTOP", desktop, 1);
    EXPECT_FALSE(SetDesktopWallpaper(bitmap_, 0)) << desktop;
  }
  unsetenv("XDG_CURRENT_DESKTOP");
  EXPECT_FALSE(SetDesktopWallpaper(bitmap_, 0));
}

}  // namespace
}  // namespace kivo
