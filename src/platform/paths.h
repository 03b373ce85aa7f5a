// Well-known folders and simple file operations on the host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

// The folder of the running program, with a trailing "/".
std::string ProgramFolder();
// The running program's file.
std::string ProgramFile();
// $TMPDIR or /tmp, with a trailing "/".
std::string TempFolder();
// $XDG_CONFIG_HOME/kivoplay/ (else ~/.config/kivoplay/), created on demand.
std::string ConfigFolder();
// $XDG_DATA_HOME/kivoplay/ (else ~/.local/share/kivoplay/), created on demand.
std::string DataFolder();
std::string CurrentFolder();

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool DeleteFile(const std::string& path);
// Whole-file read; false when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);
// Writes to a temporary name beside the file, flushes and renames it over the old one.
bool WriteFileAtomically(const std::string& path, const std::string& contents);
bool MakeFolders(const std::string& path);

// Mount points of optical drives (iso9660, udf), each with a trailing "/".
std::vector<std::string> OpticalDriveRoots();
// True when the path lies on one of them.
bool IsOnOpticalDrive(const std::string& path);

// True when the user's language is Japanese (LC_ALL, LC_MESSAGES, LANG).
bool IsJapaneseDefaultLanguage();

}  // namespace kivo

namespace kivo {

struct TLocalTime {
  int year, month, day, hour, minute, second, millisecond;
  int weekday;  // 0 = Sunday .. 6 = Saturday
};
// The local wall-clock time.
TLocalTime LocalTimeNow();
// The fields of a wall-clock reading given in milliseconds since 1970-01-01 00:00 on that same
// clock, i.e. with the zone's offset already added.
TLocalTime LocalTimeFields(int64_t localMilliseconds);

// True when the file's last bytes are exactly `tail` (false when it cannot be read).
bool FileEndsWith(const std::string& path, const std::string& tail);

}  // namespace kivo
