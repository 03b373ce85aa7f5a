// Tests the start-up code uses to decide how a program file or command-line argument carries game data.
#pragma once

#include <string>

namespace kivo {

// The resource archive of the original Windows programs.
inline const char kResourceArchiveName[] = "DUMMY";
inline const char kResourceArchiveType[] = "BINTYPE";

// The file ends with "kv": an archive is appended to it (program files, "kivo append").
bool HasAppendedArchive(const std::string& path);
// The file is a Windows program carrying the resource "DUMMY" of type "BINTYPE" whose last two
// bytes are "vf".
bool HasResourceArchive(const std::string& path);

}  // namespace kivo
