// The data layer's messages, as the player shows them (CP932).
#pragma once

#include <string>

namespace kivo {

// "リソースが見つかりません" (resource not found)
inline const char kMsgResourceNotFound[] =
    "\x83\x8a\x83\x5c\x81\x5b\x83\x58\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "作業用ファイルが作れません" (the work file cannot be created)
inline const char kMsgWorkFileNotCreated[] =
    "\x8d\xec\x8b\xc6\x97\x70\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8d\xec\x82\xea\x82\xdc\x82\xb9\x82\xf1";
// "エラー:"
inline const char kMsgErrorPrefix[] = "\x83\x47\x83\x89\x81\x5b:";

// "%s:ファイルがありません" (file not found) with the name.
inline std::string MsgFileNotFound(const std::string& name) {
  return name + ":\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
}

}  // namespace kivo
