// Builds script pages in tests: commands with their heads, expressions compiled from text.
#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "engine/commands/command_factory.h"
#include "engine/commands/flow_commands.h"
#include "engine/page.h"
#include "values/expr/build_parser.h"

namespace kivo::testing {

inline void CompileInto(TExpr& expr, const std::string& text) {
  if (text.empty()) return;
  TBuildKivoParser build;
  build.Compile(text);
  TMemoryStream runForm;
  build.WriteRunForm(runForm);
  runForm.SetPosition(0);
  expr.LoadRunForm(runForm);
}

class TScript {
public:
  explicit TScript(std::string name) { page_.SetName(std::move(name)); }

  // Appends a command; `cont` is the head's continue flag. Returns its index.
  template <class T>
  int Add(int indent, bool cont, const std::function<void(T&)>& fill = {}) {
    auto c = std::make_unique<T>();
    c->SetHead(indent, false, cont, line_++);
    if (fill) fill(*c);
    page_.Add(std::move(c));
    return page_.Count() - 1;
  }
  int Calc(int indent, const std::string& text, bool cont = true) {
    return Add<TComCalc>(indent, cont, [&](TComCalc& c) { CompileInto(c.statement, text); });
  }
  int If(int indent, const std::string& condition) {
    return Add<TComIf>(indent, true, [&](TComIf& c) { CompileInto(c.condition, condition); });
  }
  int Elseif(int indent, const std::string& condition) {
    return Add<TComElseif>(indent, true, [&](TComElseif& c) { CompileInto(c.condition, condition); });
  }
  int Else(int indent) { return Add<TComElse>(indent, true); }
  // The flow goes on in the frame the wait ends.
  int Wait(int indent, const std::string& time, const std::string& blockEvents = "") {
    return Add<TComWait>(indent, true, [&](TComWait& c) {
      CompileInto(c.time, time);
      CompileInto(c.blockEvents, blockEvents);
    });
  }
  int Label(int indent, const std::string& name) {
    return Add<TComLabel>(indent, true, [&](TComLabel& c) { c.name = name; });
  }
  TCommand& At(int index) { return *page_.Command(index); }

  // Writes the page file into a folder.
  void SaveTo(const std::string& path) const {
    TMemoryStream s;
    page_.SaveToStream(s);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(s.Memory()), s.Size());
  }
  TPage& Page() { return page_; }

private:
  TPage page_;
  int line_ = 1;
};

}  // namespace kivo::testing
