// Input script parsing.
#include "app/input_script.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "platform/paths.h"

namespace kivo {

TInputScript TInputScript::Parse(const std::string& text) {
  using Kind = TInputEvent::Kind;
  TInputScript script;
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(lines, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::istringstream words(line);
    long tick = 0;
    std::string name;
    auto fail = [&](const std::string& why) {
      throw std::invalid_argument("input script line " + std::to_string(lineNumber) + ": " + why + ": " + line);
    };
    if (!(words >> tick >> name) || tick < 1) fail("expected TICK (from 1) and an event");
    auto point = [&](Kind kind, long at) {
      TInputEvent e;
      e.tick = at;
      e.kind = kind;
      if (!(words >> e.x >> e.y)) fail("expected X Y");
      script.events_.push_back(e);
    };
    auto key = [&](Kind kind, long at) {
      TInputEvent e;
      e.tick = at;
      e.kind = kind;
      if (!(words >> e.x) || e.x < 0) fail("expected a virtual-key code");
      script.events_.push_back(e);
    };
    if (name == "move") point(Kind::Move, tick);
    else if (name == "ldown") point(Kind::LeftDown, tick);
    else if (name == "lup") point(Kind::LeftUp, tick);
    else if (name == "rdown") point(Kind::RightDown, tick);
    else if (name == "rup") point(Kind::RightUp, tick);
    else if (name == "click" || name == "rclick") {
      bool left = name == "click";
      point(left ? Kind::LeftDown : Kind::RightDown, tick);
      TInputEvent up = script.events_.back();
      up.kind = left ? Kind::LeftUp : Kind::RightUp;
      up.tick = tick + 1;
      script.events_.push_back(up);
    } else if (name == "keydown") key(Kind::KeyDown, tick);
    else if (name == "keyup") key(Kind::KeyUp, tick);
    else if (name == "key") {
      key(Kind::KeyDown, tick);
      TInputEvent up = script.events_.back();
      up.kind = Kind::KeyUp;
      up.tick = tick + 1;
      script.events_.push_back(up);
    } else if (name == "wheelup" || name == "wheeldown") {
      TInputEvent e;
      e.tick = tick;
      e.kind = name == "wheelup" ? Kind::WheelUp : Kind::WheelDown;
      script.events_.push_back(e);
    }
    else if (name == "screenshot") {
      TInputEvent e;
      e.tick = tick;
      e.kind = Kind::Screenshot;
      std::getline(words >> std::ws, e.file);
      if (e.file.empty()) fail("expected a file name");
      script.events_.push_back(e);
    } else fail("unknown event '" + name + "'");
    std::string rest;
    if (name != "screenshot" && words >> rest) fail("unexpected '" + rest + "'");
  }
  std::stable_sort(script.events_.begin(), script.events_.end(),
                   [](const TInputEvent& a, const TInputEvent& b) { return a.tick < b.tick; });
  return script;
}

TInputScript TInputScript::Load(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) throw std::invalid_argument("cannot read the input script " + path);
  return Parse(text);
}

std::vector<TInputEvent> TInputScript::TakeDue(long tick) {
  std::vector<TInputEvent> due;
  while (next_ < events_.size() && events_[next_].tick <= tick) due.push_back(events_[next_++]);
  return due;
}

}  // namespace kivo
