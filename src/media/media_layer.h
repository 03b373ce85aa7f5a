// The media layer's process-wide objects: started by MediaInit, ended by MediaFinal.
#pragma once

#include <cstdint>
#include <functional>

#include "media/media_managers.h"
#include "media/screen_manager.h"

namespace kivo {

class IWindow;
class TStream;

// Starts the plug-in (kivoInit, Ogg on its own thread), creates the screen manager when the scene
// size is positive, then the video, media-player, Ogg, CD audio and MIDI managers.
void MediaInit(IWindow& window, int screenWidth, int fullWidthHint, int fullHeightHint, int screenHeight);
// Frees the screen manager and the media managers in their order, then ends the plug-in.
void MediaFinal();

// Null outside MediaInit .. MediaFinal (the screen manager also for a scene of size 0).
TScreenManager* ScreenMan();
TVideoManager* VideoMan();
TWmpManager* WmpMan();
TOggManager* OggMan();
TCddaManager* CddaMan();
TMidiManager* MidiMan();

// The bit count scene surfaces are made with: the composing surface's, 32 without a screen manager.
int DisplayBitCount();

// Application focus: every media manager pauses, or resumes what it paused.
void PauseAllMedia();
void ResumeAllMedia();

// Messages the plug-in posts to the main window.
constexpr uint32_t kPluginWmpMessageFirst = 0x0680;  // 0x0680, 0x0681 and 0x0683: media player
constexpr uint32_t kPluginVideoMessage = 0x0682;
constexpr uint32_t kPluginFrameMessage = 0x06B0;  // one frame tick

// What the main window does for the plug-in's frame message; nothing until it is set.
void SetPluginFrameHandler(std::function<void()> frame);
// Delivers one message of the plug-in on the UI thread: the media-player and video messages go
// to their family's ProcessEvent, the frame message to the frame handler; others are dropped.
void DispatchPluginMessage(uint32_t message, intptr_t wParam, intptr_t lParam);

// The opaque stream the plug-in's add calls receive is a TStream*; the plug-in reads it through
// these callbacks, under one process-wide lock.
void* PluginStream(TStream& stream);

}  // namespace kivo
