// zlib glue with the error checks the archive reader relies on.
#include "vfs/zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>

#include "platform/kivo_error.h"

namespace kivo {
namespace {

[[noreturn]] void Damaged(const char* what) { throw EKivoError(std::string("damaged compressed data (") + what + ")"); }

}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, int64_t size) {
  const auto* p = static_cast<const Bytef*>(data);
  uLong value = crc;
  while (size > 0) {
    uInt n = static_cast<uInt>(std::min<int64_t>(size, INT_MAX));
    value = ::crc32(value, p, n);
    p += n;
    size -= n;
  }
  return static_cast<uint32_t>(value);
}

std::vector<uint8_t> Deflate(const void* data, int64_t size) {
  std::vector<uint8_t> out(::compressBound(static_cast<uLong>(size)));
  uLongf outSize = static_cast<uLongf>(out.size());
  if (::compress2(out.data(), &outSize, static_cast<const Bytef*>(data), static_cast<uLong>(size), 1) != Z_OK)
    throw EKivoError("compression failed");
  out.resize(outSize);
  return out;
}

std::vector<uint8_t> Inflate(const void* data, int64_t size) {
  std::vector<uint8_t> out;
  InflateInto(data, size, out);
  return out;
}

void InflateInto(const void* data, int64_t size, std::vector<uint8_t>& out, int64_t limit) {
  z_stream z{};
  if (::inflateInit(&z) != Z_OK) throw EKivoError("zlib cannot start");
  struct TEnd {
    z_stream& z;
    ~TEnd() { ::inflateEnd(&z); }
  } end{z};
  const size_t most = static_cast<size_t>(limit);
  // Text and pictures typically inflate to 2-5 times their size; start near that and double.
  size_t guess = std::min(static_cast<size_t>(std::clamp<int64_t>(size * 4, 4096, int64_t{1} << 30)), most);
  if (out.size() < guess) out.resize(guess);
  const auto* in = static_cast<const Bytef*>(data);
  int64_t inLeft = size;
  size_t produced = 0;
  int result = Z_OK;
  while (true) {
    if (z.avail_in == 0 && inLeft > 0) {
      z.next_in = const_cast<Bytef*>(in);
      z.avail_in = static_cast<uInt>(std::min<int64_t>(inLeft, INT_MAX));
      in += z.avail_in;
      inLeft -= z.avail_in;
    }
    if (produced == out.size()) {
      if (produced >= most) throw EKivoError("compressed data inflates past " + std::to_string(limit) + " bytes");
      out.resize(std::min(out.size() * 2, most));
    }
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, INT_MAX));
    uInt before = z.avail_out;
    result = ::inflate(&z, Z_NO_FLUSH);
    produced += before - z.avail_out;
    if (result == Z_STREAM_END) break;
    if (result == Z_BUF_ERROR && z.avail_in == 0 && inLeft == 0) break;  // input ran out early
    if (result != Z_OK && result != Z_BUF_ERROR) break;
  }
  if (result != Z_STREAM_END) Damaged(result == Z_BUF_ERROR ? "truncated" : "corrupt");
  out.resize(produced);
}

struct TInflater::TState {
  z_stream z{};
  std::vector<uint8_t> buffer = std::vector<uint8_t>(1 << 18);
};

TInflater::TInflater(Sink sink) : state_(std::make_unique<TState>()), sink_(std::move(sink)) {
  if (::inflateInit(&state_->z) != Z_OK) throw EKivoError("zlib cannot start");
}

TInflater::~TInflater() { ::inflateEnd(&state_->z); }

void TInflater::Feed(const void* data, int64_t size) {
  z_stream& z = state_->z;
  const auto* in = static_cast<const Bytef*>(data);
  while (size > 0 && !ended_) {
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = static_cast<uInt>(std::min<int64_t>(size, INT_MAX));
    in += z.avail_in;
    size -= z.avail_in;
    while (z.avail_in > 0 && !ended_) {
      z.next_out = state_->buffer.data();
      z.avail_out = static_cast<uInt>(state_->buffer.size());
      int result = ::inflate(&z, Z_NO_FLUSH);
      size_t n = state_->buffer.size() - z.avail_out;
      if (n > 0) sink_(state_->buffer.data(), n);
      if (result == Z_STREAM_END) {
        ended_ = true;
      } else if (result != Z_OK && !(result == Z_BUF_ERROR && n > 0)) {
        Damaged("corrupt");
      }
    }
  }
}

void TInflater::Finish() {
  if (ended_) return;
  // Pending output may still sit inside zlib when the input ended exactly at a block edge.
  z_stream& z = state_->z;
  while (true) {
    z.next_in = nullptr;
    z.avail_in = 0;
    z.next_out = state_->buffer.data();
    z.avail_out = static_cast<uInt>(state_->buffer.size());
    int result = ::inflate(&z, Z_SYNC_FLUSH);
    size_t n = state_->buffer.size() - z.avail_out;
    if (n > 0) sink_(state_->buffer.data(), n);
    if (result == Z_STREAM_END) return;
    if (n == 0) Damaged("truncated");
  }
}

}  // namespace kivo
