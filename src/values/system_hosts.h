// The engine state behind the system variables, one small interface per owning subsystem; each
// default answers neutrally until that subsystem plugs in its own implementation.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/paths.h"

namespace kivo {

class TCustomParam;

// The call manager: the current call's result value, arguments, sender and the stack depth.
struct TCallHost {
  virtual ~TCallHost() = default;
  virtual TCustomParam* CurrentResult() { return nullptr; }
  virtual int ParamCount() { return 0; }
  virtual std::string ParamStr(int index) { (void)index; return {}; }
  virtual std::string Sender() { return {}; }
  virtual int StackCount() { return 0; }
  // Removes one suspended call with its variables; false when there is no such entry.
  virtual bool DeleteStack(int depth) { (void)depth; return false; }
};

// The active scene root: mouse and key state, focus, the image convert switch.
struct TSceneHost {
  virtual ~TSceneHost() = default;
  virtual bool LClick() { return false; }
  virtual void SetLClick(bool value) { (void)value; }
  virtual bool RClick() { return false; }
  virtual void SetRClick(bool value) { (void)value; }
  virtual bool LPush() { return false; }
  virtual bool RPush() { return false; }
  virtual int MouseX() { return 0; }
  virtual int MouseY() { return 0; }
  // Moves the system pointer to scene coordinates.
  virtual void SetMouse(int x, int y) { (void)x, (void)y; }
  virtual bool CGDither() { return false; }
  virtual void SetCGDither(bool value) { (void)value; }
  // key < 256: virtual-key code; 256 wheel down; 257 wheel up.
  virtual bool KeyPush(int key) { (void)key; return false; }
  virtual bool KeyClick(int key) { (void)key; return false; }
  virtual bool KeyRepeat(int key) { (void)key; return false; }
  virtual bool WheelDown() { return false; }
  virtual bool WheelUp() { return false; }
  virtual std::string ActiveCompo() { return {}; }
  // Focuses the control of that name when it exists and can take the focus.
  virtual void SetActiveCompo(const std::string& name) { (void)name; }
};

// The message history.
struct THistoryHost {
  virtual ~THistoryHost() = default;
  virtual int HistoryCount() { return 0; }
  virtual int HistoryMaxCount() { return 0; }
  virtual void SetHistoryMaxCount(int value) { (void)value; }
  // The three pairs of the history format that saves of versions 113 to 134 carry.
  virtual void SetHistoryFormat(const std::array<int32_t, 6>& values) { (void)values; }
};

struct TMidiHost {
  virtual ~TMidiHost() = default;
  virtual std::string MidiPort() { return {}; }
  virtual void SetMidiPort(const std::string& name) { (void)name; }
  virtual int MidiPortCount() { return 0; }
  virtual std::string MidiPortName(int index) { (void)index; return {}; }
};

// The screen manager and the main window's display switching.
struct TScreenHost {
  virtual ~TScreenHost() = default;
  virtual bool FullScreen() { return false; }
  virtual void SetFullScreen(bool value) { (void)value; }
  virtual int DisplayModeCount() { return 0; }
  virtual int DisplayModeIndex() { return 0; }
  // Selects the mode and asks the main window to apply it.
  virtual void SetDisplayModeIndex(int index) { (void)index; }
};

// The project and the frame loop's counters.
struct TProjectHost {
  virtual ~TProjectHost() = default;
  virtual int ScreenWidth() { return 0; }
  virtual int ScreenHeight() { return 0; }
  virtual std::string Title() { return {}; }
  virtual int TickCount() { return 0; }
  virtual int UpdateCount() { return 0; }
  virtual bool SoundOn() { return false; }
  virtual void SetSoundOn(bool value) { (void)value; }
};

// The local wall clock behind the date and time variables; the default reads the system clock.
struct TClockHost {
  virtual ~TClockHost() = default;
  virtual TLocalTime Now() { return LocalTimeNow(); }
};

// The installed font family names, one per line (CR LF); the default asks the platform.
struct TFontHost {
  virtual ~TFontHost() = default;
  virtual std::string FontNames(bool fixedPitchOnly);

private:
  std::string all_, fixed_;
  bool allKnown_ = false, fixedKnown_ = false;
};

// Observing pointers; a subsystem replaces its entry when it starts and restores it when it ends.
struct TSystemHosts {
  TSystemHosts();
  TCallHost* Call;
  TSceneHost* Scene;
  THistoryHost* History;
  TMidiHost* Midi;
  TScreenHost* Screen;
  TProjectHost* Project;
  TFontHost* Fonts;
  TClockHost* Clock;
};

}  // namespace kivo
