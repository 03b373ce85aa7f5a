// The kind table: names and the class that each stored kind code makes.
#include "engine/commands/command_factory.h"

#include <array>

#include "engine/commands/component_commands.h"
#include "engine/commands/flow_commands.h"
#include "engine/commands/object_commands.h"
#include "platform/kivo_error.h"

namespace kivo {
namespace {

struct TKindNames {
  std::string_view name;
  std::string_view displayName;
};

const std::array<TKindNames, kCommandKindCount> kNames = {{
    {"If", "IF"},  // IF
    {"Elseif", "ELSE IF"},  // ELSE IF
    {"Else", "ELSE"},  // ELSE
    {"Label", "\x83\x89\x83x\x83\x8B"},  // ラベル
    {"Jump", "\x83W\x83\x83\x83\x93\x83v"},  // ジャンプ
    {"Call", "\x83R\x81[\x83\x8B"},  // コール
    {"Exit", "\x83\x8A\x83^\x81[\x83\x93"},  // リターン
    {"Wait", "\x83" "E\x83G\x83" "C\x83g"},  // ウエイト
    {"BoxNew", "\x8B\xE9\x8C`\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // 矩形サーフェス作成
    {"ImgNew", "\x89\xE6\x91\x9C\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // 画像サーフェス作成
    {"MesNew", "\x83\x81\x83" "b\x83Z\x81[\x83W\x83{\x83" "b\x83N\x83X\x8D\xEC\x90\xAC"},  // メッセージボックス作成
    {"Timer", "\x83^\x83" "C\x83}\x81["},  // タイマー
    {"Movie", "\x83\x80\x81[\x83r\x81[\x8D\xC4\x90\xB6"},  // ムービー再生
    {"Flip", "\x83t\x83\x8A\x83" "b\x83v"},  // フリップ
    {"Calc", "\x8Cv\x8EZ"},  // 計算
    {"VarNew", "\x95\xCF\x90\x94\x8D\xEC\x90\xAC"},  // 変数作成
    {"VarDel", "\x95\xCF\x90\x94\x8D\xED\x8F\x9C"},  // 変数削除
    {"GetProp", "\x83v\x83\x8D\x83p\x83" "e\x83" "B\x8E\xE6\x93\xBE"},  // プロパティ取得
    {"SetProp", "\x83v\x83\x8D\x83p\x83" "e\x83" "B\x90\xDD\x92\xE8"},  // プロパティ設定
    {"ObjDel", "\x83R\x83\x93\x83|\x81[\x83l\x83\x93\x83g\x8D\xED\x8F\x9C"},  // コンポーネント削除
    {"TextIns", "\x83" "e\x83L\x83X\x83g\x91}\x93\xFC"},  // テキスト挿入
    {"MovieStop", "\x83\x81\x83" "f\x83" "B\x83" "A\x92\xE2\x8E~"},  // メディア停止
    {"ClrHist", "\x97\x9A\x97\xF0\x83N\x83\x8A\x83" "A"},  // 履歴クリア
    {"Cinema", "\x83V\x83l\x83}\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // シネマサーフェス作成
    {"Caption", "\x83L\x83\x83\x83v\x83V\x83\x87\x83\x93\x8D\xEC\x90\xAC"},  // キャプション作成
    {"Menu", "\x83\x81\x83j\x83\x85\x81[\x8D\xEC\x90\xAC"},  // メニュー作成
    {"MenuClose", "\x83\x81\x83j\x83\x85\x81[\x83N\x83\x8D\x81[\x83Y"},  // メニュークローズ
    {"Comment", "\x83R\x83\x81\x83\x93\x83g"},  // コメント
    {"TextClr", "\x83" "e\x83L\x83X\x83g\x83N\x83\x8A\x83" "A"},  // テキストクリア
    {"CallHist", "\x97\x9A\x97\xF0\x8C\xC4\x8Fo"},  // 履歴呼出
    {"Button", "\x83{\x83^\x83\x93\x8D\xEC\x90\xAC"},  // ボタン作成
    {"While", "\x83\x8B\x81[\x83v"},  // ループ
    {"WhileInit", "\x83\x8B\x81[\x83v\x8F\x89\x8A\xFA\x89\xBB"},  // ループ初期化
    {"WhileLoop", "\x83\x8B\x81[\x83v\x8D\xC4\x8F\x89\x8A\xFA\x89\xBB"},  // ループ再初期化
    {"Break", "\x83\x8B\x81[\x83v\x92" "E\x8Fo"},  // ループ脱出
    {"Continue", "\x83\x8B\x81[\x83v\x90\xE6\x93\xAA\x82\xD6"},  // ループ先頭へ
    {"ParticleNew", "\x83p\x81[\x83" "e\x83" "B\x83N\x83\x8B\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // パーティクルサーフェス作成
    {"FireNew", "\x89\x8A\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // 炎サーフェス作成
    {"GameSave", "\x83Q\x81[\x83\x80\x83Z\x81[\x83u"},  // ゲームセーブ
    {"GameLoad", "\x83Q\x81[\x83\x80\x83\x8D\x81[\x83h"},  // ゲームロード
    {"PCReset", "PC\x83\x8A\x83Z\x83" "b\x83g"},  // PCリセット
    {"Reset", "\x83\x8A\x83Z\x83" "b\x83g"},  // リセット
    {"Sound", "\x83T\x83" "E\x83\x93\x83h\x8D\xC4\x90\xB6"},  // サウンド再生
    {"EditNew", "\x83G\x83" "f\x83" "B\x83" "b\x83g\x8D\xEC\x90\xAC"},  // エディット作成
    {"MemoNew", "\x83\x81\x83\x82\x8D\xEC\x90\xAC"},  // メモ作成
    {"Terminate", "\x8FI\x97\xB9"},  // 終了
    {"DoEvent", "DoEvent"},  // DoEvent
    {"ClrRead", "\x8A\xF9\x93\xC7\x83N\x83\x8A\x83" "A"},  // 既読クリア
    {"MapImgNew", "\x91I\x91\xF0\x89\xE6\x91\x9C\x8D\xEC\x90\xAC"},  // 選択画像作成
    {"WaveNew", "\x83" "E\x83G\x81[\x83u\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // ウエーブサーフェス作成
    {"TileNew", "\x83^\x83" "C\x83\x8B\x83T\x81[\x83t\x83" "F\x83X\x8D\xEC\x90\xAC"},  // タイルサーフェス作成
    {"SliderNew", "\x83X\x83\x89\x83" "C\x83_\x81[\x8D\xEC\x90\xAC"},  // スライダー作成
    {"ScrollbarNew", "\x83X\x83N\x83\x8D\x81[\x83\x8B\x83o\x81[\x8D\xEC\x90\xAC"},  // スクロールバー作成
    {"GaugeNew", "\x83Q\x81[\x83W\x8D\xEC\x90\xAC"},  // ゲージ作成
    {"CGCaption", "\x89\xE6\x91\x9C\x83L\x83\x83\x83v\x83V\x83\x87\x83\x93\x8D\xEC\x90\xAC"},  // 画像キャプション作成
    {"MediaPlay", "\x83\x81\x83" "f\x83" "B\x83" "A\x8D\xC4\x90\xB6"},  // メディア再生
    {"PrevMenuNew", "\x83v\x83\x8C\x83r\x83\x85\x81[\x83\x81\x83j\x83\x85\x81[\x8D\xEC\x90\xAC"},  // プレビューメニュー作成
    {"PropMotion", "\x83v\x83\x8D\x83p\x83" "e\x83" "B\x83\x82\x81[\x83V\x83\x87\x83\x93"},  // プロパティモーション
    {"FormatHist", "\x97\x9A\x97\xF0\x8F\x91\x8E\xAE\x93o\x98^"},  // 履歴書式登録
    {"SaveCabinet", "\x83L\x83\x83\x83r\x83l\x83" "b\x83g\x95\xDB\x91\xB6"},  // キャビネット保存
    {"LoadCabinet", "\x83L\x83\x83\x83r\x83l\x83" "b\x83g\x95\x9C\x8B" "A"},  // キャビネット復帰
}};

using Maker = std::unique_ptr<TCommand> (*)();
const std::array<Maker, kCommandKindCount> kMakers = {
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComIf>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComElseif>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComElse>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComLabel>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComJump>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCall>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComExit>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComWait>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComBoxNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComImgNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMesNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComTimer>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMovie>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComFlip>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCalc>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComVarNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComVarDel>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComGetProp>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComSetProp>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComObjDel>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComTextIns>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMovieStop>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComClrHist>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCinema>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCaption>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMenu>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMenuClose>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComComment>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComTextClr>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCallHist>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComBtnNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComWhile>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComWhileInit>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComWhileLoop>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComBreak>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComContinue>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComParticleNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComFireNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComGameSave>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComGameLoad>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComPCReset>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComReset>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComSound>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComEditNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMemoNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComTerminate>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComDoEvent>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComClrRead>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMapImgNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComWaveNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComTileNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComSliderNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComScrollbarNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComGaugeNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCGCaption>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComMediaPlay>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComPrevMenuNew>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComPropMotion>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComEntryHist>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCabinetSave>(); },
    []() -> std::unique_ptr<TCommand> { return std::make_unique<TComCabinetLoad>(); },
};

const char kInvalidCommand[] = "\x95s\x90\xB3\x82\xC8\x83R\x83}\x83\x93\x83h";  // 不正なコマンド

}  // namespace

std::unique_ptr<TCommand> CreateCommand(int kind) {
  if (kind < 0 || kind >= kCommandKindCount) throw EKivoError(kInvalidCommand);
  return kMakers[static_cast<size_t>(kind)]();
}

std::string_view CommandKindName(int kind) {
  return kind >= 0 && kind < kCommandKindCount ? kNames[static_cast<size_t>(kind)].name : std::string_view();
}

std::string_view CommandKindDisplayName(int kind) {
  return kind >= 0 && kind < kCommandKindCount ? kNames[static_cast<size_t>(kind)].displayName : std::string_view();
}

int CommandKindByName(std::string_view name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (int k = 0; k < kCommandKindCount; ++k) {
    std::string_view n = kNames[static_cast<size_t>(k)].name;
    if (n.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < n.size() && same; ++i) same = lower(n[i]) == lower(name[i]);
    if (same) return k;
  }
  return -1;
}

}  // namespace kivo
