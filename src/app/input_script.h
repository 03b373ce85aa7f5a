// Scripted input for automation: "TICK EVENT ARGS" lines turned into events due at a tick.
#pragma once

#include <string>
#include <vector>

namespace kivo {

struct TInputEvent {
  enum class Kind { Move, LeftDown, LeftUp, RightDown, RightUp, KeyDown, KeyUp, WheelUp, WheelDown, Screenshot };
  long tick = 0;
  Kind kind = Kind::Move;
  int x = 0;  // scene coordinates, or the virtual-key code
  int y = 0;
  std::string file;
};

class TInputScript {
public:
  // Parses the text; throws std::invalid_argument naming the line on a malformed one.
  static TInputScript Parse(const std::string& text);
  static TInputScript Load(const std::string& path);

  // The events due at this tick, in file order (a click's release lands on the next tick).
  std::vector<TInputEvent> TakeDue(long tick);
  bool Empty() const { return next_ >= events_.size(); }

private:
  std::vector<TInputEvent> events_;  // sorted by tick, stable
  size_t next_ = 0;
};

}  // namespace kivo
