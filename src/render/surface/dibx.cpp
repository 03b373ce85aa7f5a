// TDIBX: storage, pixel access and the colour table of the memory surface.
#include "render/surface/dibx.h"

#include <algorithm>
#include <cstring>

#include "platform/kivo_error.h"
#include "render/surface/device_context.h"

namespace kivo {

TDIBX::TDIBX() { SetSize(1, 1, 15); }

TDIBX::TDIBX(int width, int height, int bitCount) { SetSize(width, height, bitCount); }

TDIBX::~TDIBX() = default;

int TDIBX::BitCount() const {
  if (storageBits_ == 16) return gMask_ == 0x03E0 ? 15 : 16;
  return storageBits_;
}

void TDIBX::Allocate(int width, int height, int storageBits) {
  const int64_t stride = ((static_cast<int64_t>(width) * storageBits + 31) / 32) * 4;
  if (stride * height > kMaxBytes) throw EKivoError("surface too large: " + std::to_string(width) + " x " + std::to_string(height));
  std::vector<uint8_t> bits(static_cast<size_t>(stride * height));
  bits_ = std::move(bits);
  stride_ = static_cast<int>(stride);
  bitmapHeight_ = height;
}

void TDIBX::SetSize(int width, int height, int bitCount) {
  width = std::max(0, width);
  height = std::max(0, height);
  int storage = 32;
  uint32_t r = 0xFF0000, g = 0xFF00, b = 0xFF;
  switch (bitCount) {
    case 15: storage = 16, r = 0x7C00, g = 0x03E0, b = 0x001F; break;
    case 16: storage = 16, r = 0xF800, g = 0x07E0, b = 0x001F; break;
    case 1:
    case 4:
    case 8:
    case 24: storage = bitCount; break;
    default: break;  // anything else is kept as 32 bits
  }
  Allocate(width, height, storage);
  storageBits_ = storage;
  rMask_ = r, gMask_ = g, bMask_ = b;
  TCustomDIBX::SetSize(width, height, bitCount);
  dc_.reset();
}

void TDIBX::Clear() {
  Allocate(8, 8, storageBits_);
  TCustomDIBX::SetSize(0, 0, BitCount());
}

uint32_t TDIBX::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const uint8_t* row = Row(y);
  switch (storageBits_) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0xF : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: {
      uint16_t v;
      std::memcpy(&v, row + x * 2, 2);
      return v;
    }
    case 24: return row[x * 3] | row[x * 3 + 1] << 8 | static_cast<uint32_t>(row[x * 3 + 2]) << 16;
    default: {
      uint32_t v;
      std::memcpy(&v, row + x * 4, 4);
      return v;
    }
  }
}

void TDIBX::SetPixel(int x, int y, uint32_t value) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  uint8_t* row = Row(y);
  switch (storageBits_) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>((value & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = static_cast<uint8_t>((x & 1) ? (b & 0xF0) | (value & 0xF) : (b & 0x0F) | (value & 0xF) << 4);
      break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16: {
      const uint16_t v = static_cast<uint16_t>(value);
      std::memcpy(row + x * 2, &v, 2);
      break;
    }
    case 24:
      row[x * 3] = static_cast<uint8_t>(value);
      row[x * 3 + 1] = static_cast<uint8_t>(value >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(value >> 16);
      break;
    default: std::memcpy(row + x * 4, &value, 4); break;
  }
}

uint8_t* TDIBX::PixelAddress(int x, int y) {
  if (IsEmpty()) return nullptr;
  ++accessDepth_;
  uint8_t* row = Row(0) + static_cast<ptrdiff_t>(y) * Pitch();
  switch (storageBits_) {
    case 1: return row + x / 8;
    case 4: return row + x / 2;
    default: return row + static_cast<ptrdiff_t>(x) * (storageBits_ / 8);
  }
}

void TDIBX::EndPixelAccess() {
  if (accessDepth_ > 0) --accessDepth_;
}

IDeviceContext* TDIBX::GetDC() {
  if (!dc_) dc_ = CreateSurfaceDC(*this);
  return dc_.get();
}

void TDIBX::ReleaseDC() { dc_.reset(); }

void TDIBX::Assign(TCustomDIBX& source) {
  auto* other = dynamic_cast<TDIBX*>(&source);
  if (other && other != this && other->Width() == Width() && other->Height() == Height() &&
      other->Pitch() == Pitch() && !IsEmpty()) {
    std::memcpy(bits_.data(), other->bits_.data(), static_cast<size_t>(stride_) * Height());
    return;
  }
  TCustomDIBX::Assign(source);
}

void TDIBX::GetPaletteEntries(TPaletteEntry* entries, int start, int count) const {
  for (int i = 0; i < count; ++i) {
    const int k = start + i;
    entries[i] = k >= 0 && k < 256 ? palette_[static_cast<size_t>(k)] : TPaletteEntry{};
  }
}

void TDIBX::SetPaletteEntries(const TPaletteEntry* entries, int start, int count) {
  for (int i = 0; i < count; ++i) {
    const int k = start + i;
    if (k >= 0 && k < 256) palette_[static_cast<size_t>(k)] = entries[i];
  }
}

}  // namespace kivo
