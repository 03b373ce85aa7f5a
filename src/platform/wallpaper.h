// Setting the desktop wallpaper (GNOME-style desktops through gsettings).
#pragma once

#include <string>

namespace kivo {

// Where the player writes the wallpaper bitmap: the local app-data folder + "kivowall.bmp".
std::string WallpaperBitmapPath();

// Makes the bitmap file at path (a host path) the desktop wallpaper; style 0 centred, 1 tiled,
// anything else stretched. False when the file does not exist, no desktop setting tool
// (gsettings) is installed, or the desktop refuses.
bool SetDesktopWallpaper(const std::string& path, int style);

// Writes the bitmap bytes to WallpaperBitmapPath() and sets it as above.
bool SetDesktopWallpaperBitmap(const std::string& bitmap, int style);

}  // namespace kivo
