// TDIBX: the memory surface, a bottom-up device-independent bitmap addressed through a negative pitch.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "render/surface/custom_dibx.h"

namespace kivo {

class TDIBX : public TCustomDIBX {
public:
  // A new surface is 1 x 1 at 15 bits.
  TDIBX();
  TDIBX(int width, int height, int bitCount);
  ~TDIBX() override;

  int BitCount() const override;
  void SetBitCount(int bits) override { SetSize(Width(), Height(), bits); }
  uint32_t RMask() const override { return rMask_; }
  uint32_t GMask() const override { return gMask_; }
  uint32_t BMask() const override { return bMask_; }
  int Pitch() const override { return -stride_; }
  uint32_t GetPixel(int x, int y) const override;
  void SetPixel(int x, int y, uint32_t value) override;
  int StorageBitCount() const override { return storageBits_; }
  // Reallocates (the pixels become 0). Sizes above the surface limit raise EKivoError.
  void SetSize(int width, int height, int bitCount) override;
  uint8_t* PixelAddress(int x, int y) override;
  void EndPixelAccess() override;
  IDeviceContext* GetDC() override;
  void ReleaseDC() override;

  void Assign(TCustomDIBX& source) override;
  // Size 0 x 0; the bitmap itself becomes 8 x 8.
  void Clear() override;

  void GetPaletteEntries(TPaletteEntry* entries, int start, int count) const override;
  void SetPaletteEntries(const TPaletteEntry* entries, int start, int count) override;

  // Bytes of one row, padded to 4 bytes as a bitmap row is.
  int Stride() const { return stride_; }
  // Raw storage, bottom row first (|Pitch| x Height bytes).
  const uint8_t* Bits() const { return bits_.data(); }
  // True while a pixel-access section is open.
  bool InPixelAccess() const { return accessDepth_ > 0; }

  // The largest pixel memory one surface may take; larger requests are refused.
  static constexpr int64_t kMaxBytes = int64_t{1} << 29;

private:
  void Allocate(int width, int height, int storageBits);
  uint8_t* Row(int y) { return bits_.data() + static_cast<ptrdiff_t>(bitmapHeight_ - 1 - y) * stride_; }
  const uint8_t* Row(int y) const { return bits_.data() + static_cast<ptrdiff_t>(bitmapHeight_ - 1 - y) * stride_; }

  std::vector<uint8_t> bits_;
  int bitmapHeight_ = 0;
  int stride_ = 0;
  int storageBits_ = 16;
  uint32_t rMask_ = 0, gMask_ = 0, bMask_ = 0;
  std::array<TPaletteEntry, 256> palette_{};
  int accessDepth_ = 0;
  std::unique_ptr<IDeviceContext> dc_;
};

}  // namespace kivo
