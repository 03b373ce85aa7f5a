// CP932 <-> UTF-8 through iconv; one converter per direction and thread.
#include "platform/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace kivo {
namespace {

class Converter {
public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts, replacing each unconvertible input byte by '?'. Sets `lossless` false when that happened.
  std::string Convert(std::string_view in, bool& lossless) {
    lossless = true;
    std::string out;
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      lossless = false;
      return std::string(in);
    }
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[1024];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t r = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, dst - buffer);
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (truncated sequence): skip one byte and go on.
        lossless = false;
        out.push_back('?');
        ++src;
        --srcLeft;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(handle_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    return out;
  }

private:
  iconv_t handle_;
};

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  thread_local Converter converter("UTF-8", "CP932");
  bool lossless;
  return converter.Convert(cp932, lossless);
}

std::string Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local Converter converter("CP932", "UTF-8");
  bool lossless;
  return converter.Convert(utf8, lossless);
}

bool IsUtf8RepresentableInCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return true;
  thread_local Converter converter("CP932", "UTF-8");
  bool lossless;
  converter.Convert(utf8, lossless);
  return lossless;
}

}  // namespace kivo
