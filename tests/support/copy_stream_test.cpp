// CopyStream from memory and other streams, and ScaleColor.
#include "support/copy_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/kivo_error.h"
#include "support/scale_color.h"

namespace kivo {
namespace {

// A stream that is not a memory stream, so the buffered path is taken.
class TPlainStream : public TStream {
public:
  explicit TPlainStream(std::vector<uint8_t> bytes) : inner_(std::move(bytes)) {}
  int64_t Read(void* buffer, int64_t count) override { return inner_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return inner_.Write(buffer, count); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override { return inner_.Seek(offset, origin); }

private:
  TMemoryStream inner_;
};

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return v;
}

TEST(CopyStream, WholeAndPartialFromBothKindsOfSource) {
  const std::vector<uint8_t> data = Pattern(11 * (1 << 20) + 3);  // more than one 10 MiB buffer
  TMemoryStream memory(data);
  TPlainStream plain(data);
  for (TStream* source : {static_cast<TStream*>(&memory), static_cast<TStream*>(&plain)}) {
    source->SetPosition(100);
    TMemoryStream whole;
    EXPECT_EQ(CopyStream(whole, *source, 0), static_cast<int64_t>(data.size()));  // 0: from the start
    EXPECT_EQ(whole.Bytes(), data);

    source->SetPosition(5);
    TMemoryStream part;
    EXPECT_EQ(CopyStream(part, *source, 10), 10);
    EXPECT_EQ(source->Position(), 15);
    EXPECT_EQ(part.Bytes(), std::vector<uint8_t>(data.begin() + 5, data.begin() + 15));

    source->SetPosition(static_cast<int64_t>(data.size()) - 4);
    TMemoryStream shortCopy;
    EXPECT_THROW(CopyStream(shortCopy, *source, 5), EKivoError);
  }
}

TEST(ScaleColor, ScalesEachChannelAndKeepsTheTopByte) {
  struct Case { int32_t rgb, factor, expected; };
  for (Case c : {Case{0x00FF8040, 128, 0x007F4020}, {0x02FFFFFF, 256, 0x02FFFFFF}, {0x00FFFFFF, 0, 0},
                 {static_cast<int32_t>(0xFF102030), 255, static_cast<int32_t>(0xFF0F1F2F)},
                 // beyond 256 a channel stays within its byte
                 {0x00804020, 1024, 0x00FFFF80}, {0x00804020, -50, 0}}) {
    EXPECT_EQ(ScaleColor(c.rgb, c.factor), c.expected) << std::hex << c.rgb << " x " << std::dec << c.factor;
  }
}

}  // namespace
}  // namespace kivo
