// The C interface of the media plug-in library libkivo.so, shared by the library and its loader.
// Every family's add call returns a handle (0: failed) that the family's other calls take first.
#pragma once

#include <stdint.h>

#define KIVO_PLUGIN_VERSION 108

#ifdef __cplusplus
extern "C" {
#endif

typedef intptr_t KivoHandle;

// Callbacks on the opaque stream given to an add call; all run under one process-wide lock and
// answer 0 for a null stream.
typedef int64_t (*KivoStreamSizeFn)(void* stream);
typedef int32_t (*KivoStreamReadFn)(void* stream, void* buffer, int32_t count);
typedef int64_t (*KivoStreamPositionFn)(void* stream);
typedef int64_t (*KivoStreamSeekFn)(void* stream, int64_t position);
typedef void (*KivoFpuFn)(void);
// The library's notices to the main window (the media-player family's 0x0680, 0x0681 and 0x0683,
// the video family's 0x0682, and 0x06B0 for one frame). Callable from any thread; the host
// delivers each on its UI thread, where it reaches the family's ProcessEvent entry point.
typedef void (*KivoPostMessageFn)(uint32_t message, intptr_t wParam, intptr_t lParam);

typedef struct KivoHostCallbacks {
  void** windowHandle;  // kept current across display switches
  void** panelHandle;
  void* instance;
  void** soundDevice;  // where the host stores its sound device once it exists
  KivoStreamSizeFn streamSize;
  KivoStreamReadFn streamRead;
  KivoStreamPositionFn streamPosition;
  KivoStreamSeekFn streamSeek;
  KivoFpuFn saveFpu;
  KivoFpuFn restoreFpu;
  int32_t flag;
  KivoPostMessageFn postMessage;
} KivoHostCallbacks;

typedef struct KivoSoundFormat {
  int32_t formatTag, channels, samplesPerSecond, bytesPerSecond, blockAlign, bitsPerSample;
} KivoSoundFormat;

// X(name, return type, parameter list) for every entry point: the library's own, then the media
// families.
#define KIVO_PLUGIN_CORE_ENTRY_POINTS(X)                                                  \
  X(kivoVersion, int32_t, (void))                                                         \
  X(kivoInit, int32_t, (const KivoHostCallbacks* host))                                   \
  X(kivoFinal, void, (void))                                                              \
  X(kivoOggmanSetUseThread, void, (int32_t useThread))

#define KIVO_PLUGIN_MEDIA_ENTRY_POINTS(X)                                                 \
  X(kivoVidmanAdd, KivoHandle, (const char* fileName, void* stream, int32_t flag))        \
  X(kivoVidmanDel, void, (KivoHandle h))                                                  \
  X(kivoVidmanSuspend, void, (void))                                                      \
  X(kivoVidmanResume, void, (void))                                                       \
  X(kivoVidmanProcessEvent, int32_t, (void* window, uint32_t message, intptr_t wParam, intptr_t lParam)) \
  X(kivoVideoPlay, void, (KivoHandle h))                                                  \
  X(kivoVideoPause, void, (KivoHandle h))                                                 \
  X(kivoVideoIsPaused, int32_t, (KivoHandle h))                                           \
  X(kivoVideoIsPlaying, int32_t, (KivoHandle h))                                          \
  X(kivoVideoIsEnd, int32_t, (KivoHandle h))                                              \
  X(kivoVideoGetLen, int32_t, (KivoHandle h))                                             \
  X(kivoVideoGetPosition, int32_t, (KivoHandle h))                                        \
  X(kivoVideoSetPosition, void, (KivoHandle h, int32_t ms))                               \
  X(kivoVideoSetRect, void, (KivoHandle h, int32_t left, int32_t top, int32_t right, int32_t bottom)) \
  X(kivoVideoGetVisible, int32_t, (KivoHandle h))                                         \
  X(kivoVideoSetVisible, void, (KivoHandle h, int32_t visible))                           \
  X(kivoVideoGetVol, int32_t, (KivoHandle h))                                             \
  X(kivoVideoSetVol, void, (KivoHandle h, int32_t volume))                                \
  X(kivoVideoGetPan, int32_t, (KivoHandle h))                                             \
  X(kivoVideoSetPan, void, (KivoHandle h, int32_t pan))                                   \
  X(kivoVideoGetAutoRepeat, int32_t, (KivoHandle h))                                      \
  X(kivoVideoSetAutoRepeat, void, (KivoHandle h, int32_t repeat))                         \
  X(kivoVideoGetSourceWidth, int32_t, (KivoHandle h))                                     \
  X(kivoVideoGetSourceHeight, int32_t, (KivoHandle h))                                    \
  X(kivoVideoGetDC, void*, (KivoHandle h))                                                \
  X(kivoVideoNeedPaint, int32_t, (KivoHandle h))                                          \
  X(kivoWmpmanAdd, KivoHandle, (const void* memory, int32_t size))                        \
  X(kivoWmpmanDel, void, (KivoHandle h))                                                  \
  X(kivoWmpmanRestore, void, (void))                                                      \
  X(kivoWmpmanProcessEvent, int32_t, (void* window, uint32_t message, intptr_t wParam, intptr_t lParam)) \
  X(kivoWmpPlay, void, (KivoHandle h))                                                    \
  X(kivoWmpPause, void, (KivoHandle h))                                                   \
  X(kivoWmpIsPaused, int32_t, (KivoHandle h))                                             \
  X(kivoWmpIsPlaying, int32_t, (KivoHandle h))                                            \
  X(kivoWmpIsEnd, int32_t, (KivoHandle h))                                                \
  X(kivoWmpGetLen, int32_t, (KivoHandle h))                                               \
  X(kivoWmpGetPosition, int32_t, (KivoHandle h))                                          \
  X(kivoWmpSetPosition, void, (KivoHandle h, int32_t ms))                                 \
  X(kivoWmpGetVol, int32_t, (KivoHandle h))                                               \
  X(kivoWmpSetVol, void, (KivoHandle h, int32_t volume))                                  \
  X(kivoWmpGetPan, int32_t, (KivoHandle h))                                               \
  X(kivoWmpSetPan, void, (KivoHandle h, int32_t pan))                                     \
  X(kivoWmpGetAutoRepeat, int32_t, (KivoHandle h))                                        \
  X(kivoWmpSetAutoRepeat, void, (KivoHandle h, int32_t repeat))                           \
  X(kivoOggmanAdd, KivoHandle, (void* stream, int32_t isOgg))                             \
  X(kivoOggmanDel, void, (KivoHandle h))                                                  \
  X(kivoOggmanRestore, void, (void))                                                      \
  X(kivoOggmanUpdate, void, (void))                                                       \
  X(kivoOggPlay, void, (KivoHandle h))                                                    \
  X(kivoOggPause, void, (KivoHandle h))                                                   \
  X(kivoOggIsPaused, int32_t, (KivoHandle h))                                             \
  X(kivoOggIsPlaying, int32_t, (KivoHandle h))                                            \
  X(kivoOggIsEnd, int32_t, (KivoHandle h))                                                \
  X(kivoOggGetLen, int32_t, (KivoHandle h))                                               \
  X(kivoOggGetPosition, int32_t, (KivoHandle h))                                          \
  X(kivoOggSetPosition, void, (KivoHandle h, int32_t ms))                                 \
  X(kivoOggGetRepeatPos, int32_t, (KivoHandle h))                                         \
  X(kivoOggSetRepeatPos, void, (KivoHandle h, int32_t ms))                                \
  X(kivoOggGetAutoRepeat, int32_t, (KivoHandle h))                                        \
  X(kivoOggSetAutoRepeat, void, (KivoHandle h, int32_t repeat))                           \
  X(kivoOggGetVol, int32_t, (KivoHandle h))                                               \
  X(kivoOggSetVol, void, (KivoHandle h, int32_t volume))                                  \
  X(kivoOggGetPan, int32_t, (KivoHandle h))                                               \
  X(kivoOggSetPan, void, (KivoHandle h, int32_t pan))                                     \
  X(kivoOggStrmanAdd, KivoHandle, (void* stream, int32_t flag))                           \
  X(kivoOggStrmanDel, void, (KivoHandle h))                                               \
  X(kivoOggStrGetFormat, int32_t, (KivoHandle h, KivoSoundFormat* format))                \
  X(kivoOggStrRead, int32_t, (KivoHandle h, void* buffer, int32_t count))                 \
  X(kivoOggStrGetPos, int64_t, (KivoHandle h))                                            \
  X(kivoOggStrSetPos, void, (KivoHandle h, int64_t position))                             \
  X(kivoOggStrGetSize, int64_t, (KivoHandle h))                                           \
  X(kivoOggStrGetLen, int32_t, (KivoHandle h))

#define KIVO_PLUGIN_ENTRY_POINTS(X) KIVO_PLUGIN_CORE_ENTRY_POINTS(X) KIVO_PLUGIN_MEDIA_ENTRY_POINTS(X)

#define KIVO_DECLARE_ENTRY(name, ret, params) typedef ret(*name##Fn) params;
KIVO_PLUGIN_ENTRY_POINTS(KIVO_DECLARE_ENTRY)
#undef KIVO_DECLARE_ENTRY

#ifdef __cplusplus
}
#endif
