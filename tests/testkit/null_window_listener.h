// A window listener that ignores every event, for tests that only run a window's loop.
#pragma once

#include "platform/window.h"

namespace kivo::testkit {

struct TNullWindowListener : IWindowListener {
  void OnKeyDown(int, bool) override {}
  void OnKeyUp(int) override {}
  void OnMouseDown(MouseButton, int, int) override {}
  void OnMouseUp(MouseButton, int, int) override {}
  void OnMouseMove(int, int) override {}
  void OnWheel(int) override {}
  void OnActivate(bool) override {}
  void OnCloseRequest() override {}
  void OnPaint() override {}
};

}  // namespace kivo::testkit
