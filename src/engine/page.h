// TPage: one script page — its property masks and its command list, read from a ".ksb" file and
// written back by the scenario compiler.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/commands/command.h"
#include "platform/kivo_error.h"
#include "support/stream.h"

namespace kivo {

// 165 property bits: bit i is byte i div 8, bit i mod 8 (least significant first).
using TPropertyMask = std::array<uint8_t, 21>;
inline bool MaskHas(const TPropertyMask& mask, int id) { return (mask[static_cast<size_t>(id / 8)] >> (id % 8)) & 1; }
inline void MaskSet(TPropertyMask& mask, int id) { mask[static_cast<size_t>(id / 8)] |= static_cast<uint8_t>(1 << (id % 8)); }

class TPage {
public:
  static constexpr int32_t kOldestVersion = 103;
  static constexpr int32_t kNewestVersion = 116;

  TPage();
  ~TPage();
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;

  // Reads the page through the data file manager (its errors propagate).
  void LoadPage(const std::string& name);
  // Reads a page file from a stream. A version above the newest leaves the page empty; one below
  // the oldest raises ERebuildPage.
  void LoadFromStream(TStream& stream);
  // Writes the page at its version with its masks and commands.
  void SaveToStream(TStream& stream) const;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  int32_t Version() const { return version_; }
  void SetVersion(int32_t version) { version_ = version; }
  uint8_t ResultType() const { return resultType_; }
  void SetResultType(uint8_t type) { resultType_ = type; }
  const TPropertyMask& Mask(int kind) const { return masks_.at(static_cast<size_t>(kind)); }
  TPropertyMask& Mask(int kind) { return masks_.at(static_cast<size_t>(kind)); }

  int Count() const { return static_cast<int>(commands_.size()); }
  TCommand* Command(int index) const;
  void Add(std::unique_ptr<TCommand> command) { commands_.push_back(std::move(command)); }
  // The first command whose label is `label`, or -1.
  int IndexOfLabel(const std::string& label) const;

private:
  std::string name_;
  int32_t version_ = kNewestVersion;
  uint8_t resultType_ = 0;
  std::array<TPropertyMask, kCommandKindCount> masks_{};
  std::vector<std::unique_ptr<TCommand>> commands_;
};

// A page too old to run: the player shows "NAME\r\nリビルドしてください" and closes.
class ERebuildPage : public std::runtime_error {
public:
  explicit ERebuildPage(const std::string& pageName);
  // The text to show (CP932).
  std::string Text() const;

private:
  std::string pageName_;
};

}  // namespace kivo
