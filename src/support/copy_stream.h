// CopyStream: copying between streams through a bounded buffer.
#pragma once

#include <cstdint>

#include "support/stream.h"

namespace kivo {

// Copies size bytes from source's position to dest (size 0: all of source from its start) and
// returns the bytes copied. A memory source is written out directly; any other goes through a
// buffer of at most 10 MiB, smaller when memory is short. A short source raises a read error.
int64_t CopyStream(TStream& dest, TStream& source, int64_t size);

}  // namespace kivo
