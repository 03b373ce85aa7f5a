// The process-wide game clock.
#include "support/frame_timing.h"

namespace kivo {

TFrameTiming& FrameTiming() {
  static TFrameTiming timing;
  return timing;
}

}  // namespace kivo
