// The error texts of expression compiling and running, as CP932 bytes.
#pragma once

#include <string>
#include <string_view>

namespace kivo {

// 構文エラー
inline constexpr std::string_view kSyntaxError = "\x8d\x5c\x95\xb6\x83\x47\x83\x89\x81\x5b";
// 配列の添え字が不正です
inline constexpr std::string_view kBadIndexList =
    "\x94\x7a\x97\xf1\x82\xcc\x93\x59\x82\xa6\x8e\x9a\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7";
// "%s" 関数名がありません
inline std::string NoSuchFunctionText(std::string_view name) {
  return "\"" + std::string(name) + "\" \x8a\xd6\x90\x94\x96\xbc\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
}
// name + " 引数の数が不正です"
inline std::string BadArgCountText(std::string_view name) {
  return std::string(name) + " \x88\xf8\x90\x94\x82\xcc\x90\x94\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7";
}
// "%s" 変数がありません
inline std::string NoSuchVariableText(std::string_view name) {
  return "\"" + std::string(name) + "\" \x95\xcf\x90\x94\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
}
// GetPropの引数が違います
inline constexpr std::string_view kBadGetPropArgs =
    "GetProp\x82\xcc\x88\xf8\x90\x94\x82\xaa\x88\xe1\x82\xa2\x82\xdc\x82\xb7";
// 不正な式, 代入先:, 演算タイプ: (the text of an operation with an unknown code)
inline constexpr std::string_view kBadExpression = "\x95\x73\x90\xb3\x82\xc8\x8e\xae";
inline constexpr std::string_view kDestLabel = "\x91\xe3\x93\xfc\x90\xe6:";
inline constexpr std::string_view kOpTypeLabel = "\x89\x89\x8e\x5a\x83\x5e\x83\x43\x83\x76:";
// name + ":変数が見つかりません"
inline std::string NeedsVariableText(std::string_view name) {
  return std::string(name) + ":\x95\xcf\x90\x94\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
}

}  // namespace kivo
