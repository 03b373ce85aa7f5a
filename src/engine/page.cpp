// Page files: version rules, the mask records, and the command list.
#include "engine/page.h"

#include <stdexcept>

#include "engine/commands/command_factory.h"
#include "support/binary_io.h"
#include "vfs/vr_file_manager.h"

namespace kivo {

namespace {
constexpr size_t kMaskBytes = sizeof(TPropertyMask);
// The smallest command: a kind byte and the head.
constexpr int64_t kMinCommandSize = 1 + 4 + 1 + 1 + 4;
}  // namespace

ERebuildPage::ERebuildPage(const std::string& pageName) : std::runtime_error("page too old"), pageName_(pageName) {}

std::string ERebuildPage::Text() const {
  return pageName_ + "\r\n\x83\x8A\x83r\x83\x8B\x83h\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";  // リビルドしてください
}

TPage::TPage() = default;
TPage::~TPage() = default;

TCommand* TPage::Command(int index) const {
  return index >= 0 && index < Count() ? commands_[static_cast<size_t>(index)].get() : nullptr;
}

int TPage::IndexOfLabel(const std::string& label) const {
  for (int i = 0; i < Count(); ++i)
    if (commands_[static_cast<size_t>(i)]->MatchesLabel(label)) return i;
  return -1;
}

void TPage::LoadPage(const std::string& name) {
  commands_.clear();
  name_ = name;
  TMemoryStream data;
  TVrFileManager::Instance().ReadFile(data, name);
  LoadFromStream(data);
}

void TPage::LoadFromStream(TStream& stream) {
  commands_.clear();
  masks_ = {};
  TBinaryReader r(stream);
  version_ = r.Int32();
  if (version_ > kNewestVersion) return;
  if (version_ < kOldestVersion) throw ERebuildPage(name_);
  resultType_ = r.Byte();
  int32_t maskCount = r.Int32();
  int32_t maskSize = r.Int32();
  if (maskCount < 0 || maskSize < 0 || (maskSize > 0 && maskCount > r.Remaining() / maskSize))
    throw EKivoError("Stream read error: masks beyond the data");
  int32_t known = std::min(maskCount, kCommandKindCount);
  for (int32_t k = 0; k < known; ++k) {
    size_t used = std::min<size_t>(kMaskBytes, static_cast<size_t>(maskSize));
    r.Bytes(masks_[static_cast<size_t>(k)].data(), static_cast<int64_t>(used));
    r.Skip(maskSize - static_cast<int64_t>(used));
  }
  // Records of kinds that do not exist are skipped whole, in one step however many there are.
  r.Skip(static_cast<int64_t>(maskCount - known) * maskSize);
  int32_t count = r.Count(kMinCommandSize);
  TRecordIO io(r, version_);
  for (int32_t i = 0; i < count; ++i) {
    std::unique_ptr<TCommand> command = CreateCommand(r.Byte() & 0x7F);
    command->Create(*this);
    command->Serialize(io);
    commands_.push_back(std::move(command));
  }
}

void TPage::SaveToStream(TStream& stream) const {
  TBinaryWriter w(stream);
  w.Int32(version_);
  w.Byte(resultType_);
  w.Int32(kCommandKindCount);
  w.Int32(static_cast<int32_t>(kMaskBytes));
  for (const TPropertyMask& mask : masks_) w.Bytes(mask.data(), static_cast<int64_t>(mask.size()));
  w.Int32(Count());
  TRecordIO io(w, version_);
  for (const auto& command : commands_) {
    w.Byte(static_cast<uint8_t>(command->Kind()));
    command->Serialize(io);
  }
}

}  // namespace kivo
