// The value system's error and label texts, as CP932 bytes.
#pragma once

#include <string>

namespace kivo {

inline constexpr char kMsgBadIndexTail[] = "]:\x94z\x97\xF1\x82\xCC\x93Y\x8E\x9A\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";  // ]:配列の添字が不正です
inline constexpr char kMsgBadDimsHead[] = "\x94z\x97\xF1\x82\xCC\x97v\x91" "f\x90\x94[";  // 配列の要素数[
inline constexpr char kMsgBadDimsTail[] = "]\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";  // ]が不正です
inline constexpr char kMsgBadSubscripts[] = "\x93Y\x82\xA6\x8E\x9A\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";  // 添え字が不正です
inline constexpr char kMsgTooManyElements[] = "\x97v\x91" "f\x90\x94\x82\xF0\x92\xB4\x82\xA6\x82\xC4\x82\xA2\x82\xDC\x82\xB7";  // 要素数を超えています
inline constexpr char kMsgKindMismatch[] = "CopyMem:\x95\xCF\x90\x94\x82\xCC\x8C^\x82\xAA\x82\xA0\x82\xA2\x82\xDC\x82\xB9\x82\xF1";  // CopyMem:変数の型があいません
inline constexpr char kMsgNoVariableTail[] = "\" \x95\xCF\x90\x94\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // " 変数がありません
inline constexpr char kMsgBadNameTail[] = "\"\x81" "F\x95\xCF\x90\x94\x96\xBC\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";  // "：変数名が不正です
inline constexpr char kMsgBadVariableTail[] = ":\x95s\x90\xB3\x82\xC8\x95\xCF\x90\x94\x82\xC5\x82\xB7";  // :不正な変数です
inline constexpr char kMsgNoName[] = "\x95\xCF\x90\x94\x96\xBC\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 変数名がありません
inline constexpr char kMsgInternal[] = "\x93\xE0\x95\x94\x83G\x83\x89\x81[";  // 内部エラー

// Labels of the kinds (PT_INT..PT_STR) and of the declaration scopes (0..3) shown to authors.
inline constexpr const char* kKindLabels[5] = {"", "\x90\xAE\x90\x94", "\x8E\xC0\x90\x94", "\x83t\x83\x89\x83O",
                                               "\x95\xB6\x8E\x9A\x97\xF1"};  // 整数 実数 フラグ 文字列
inline constexpr const char* kScopeLabels[4] = {"\x83O\x83\x8D\x81[\x83o\x83\x8B", "\x8E\xA9\x93\xAE\x94j\x8A\xFC",
                                                "\x83\x8D\x81[\x83J\x83\x8B",
                                                "\x83X\x83" "e\x81[\x83^\x83X"};  // グローバル 自動破棄 ローカル ステータス

inline std::string BadIndexMessage(long long index) { return "[" + std::to_string(index) + kMsgBadIndexTail; }

}  // namespace kivo
