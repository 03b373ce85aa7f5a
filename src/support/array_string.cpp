// TArrayString and its stream form.
#include "support/array_string.h"

#include "platform/kivo_error.h"
#include "support/binary_io.h"

namespace kivo {

const std::string& TArrayString::Get(int i) const {
  if (i < 0 || i >= Count()) throw EKivoError("Error:TArrayString.Get");
  return items_[static_cast<size_t>(i)];
}

void TArrayString::SaveToStream(TStream& stream) const {
  TBinaryWriter w(stream);
  w.Int32(Count());
  for (const std::string& s : items_) w.String(s);
}

void TArrayString::LoadFromStream(TStream& stream) {
  Clear();
  TBinaryReader r(stream);
  int32_t count = r.Count(4);
  items_.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) items_.push_back(r.String());
}

}  // namespace kivo
