// A media plug-in of another version, to check that kivoplay refuses it.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t kivoVersion(void) { return 107; }
