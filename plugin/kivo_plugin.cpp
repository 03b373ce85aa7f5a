// libkivo.so: the media plug-in. This build answers its version and keeps the host's callbacks;
// the media families give neutral answers (no item, nothing playing) until they are written.
#include <type_traits>

#include "media/plugin/plugin_api.h"

namespace {

KivoHostCallbacks g_host{};
bool g_oggUsesThread = true;

template <typename R>
R Neutral() {
  if constexpr (!std::is_void_v<R>) return R{};
}

}  // namespace

#define KIVO_EXPORT extern "C" __attribute__((visibility("default")))

KIVO_EXPORT int32_t kivoVersion(void) { return KIVO_PLUGIN_VERSION; }

KIVO_EXPORT int32_t kivoInit(const KivoHostCallbacks* host) {
  if (host) g_host = *host;
  return 1;
}

KIVO_EXPORT void kivoFinal(void) {
  g_host = KivoHostCallbacks{};
  g_oggUsesThread = true;
}

KIVO_EXPORT void kivoOggmanSetUseThread(int32_t useThread) { g_oggUsesThread = useThread != 0; }

#define KIVO_NEUTRAL_ENTRY(name, ret, params) \
  KIVO_EXPORT ret name params { return Neutral<ret>(); }
KIVO_PLUGIN_MEDIA_ENTRY_POINTS(KIVO_NEUTRAL_ENTRY)
#undef KIVO_NEUTRAL_ENTRY
