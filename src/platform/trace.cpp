// Trace file and trace library.
#include "platform/trace.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/cp932.h"
#include "platform/shared_library.h"

namespace kivo {
namespace {

using LogInitFn = void (*)(const char*);
using LogWriteFn = void (*)(const char*);
using LogFinalFn = void (*)();

struct TraceState {
  std::mutex mutex;
  std::FILE* file = nullptr;
  std::unique_ptr<TSharedLibrary> library;
  LogWriteFn libraryWrite = nullptr;
  std::atomic<bool> enabled{false};
};

TraceState& State() {
  static TraceState state;
  return state;
}

}  // namespace

bool TTrace::OpenFile(const std::string& path) {
  TraceState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.file) std::fclose(s.file);
  s.file = std::fopen(path.c_str(), "wb");
  s.enabled = s.file != nullptr || s.libraryWrite != nullptr;
  return s.file != nullptr;
}

void TTrace::LoadLibrary(const std::string& programFolder) {
  TraceState& s = State();
  std::lock_guard lock(s.mutex);
  auto library = std::make_unique<TSharedLibrary>(programFolder + "libkivolog.so");
  if (!library->IsLoaded()) return;
  if (auto init = library->Entry<LogInitFn>("KivoLogInit")) init("dbglog.txt");
  s.libraryWrite = library->Entry<LogWriteFn>("KivoLogWrite");
  s.library = std::move(library);
  s.enabled = s.file != nullptr || s.libraryWrite != nullptr;
}

void TTrace::Close() {
  TraceState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.file) std::fclose(s.file);
  s.file = nullptr;
  if (s.library)
    if (auto final = s.library->Entry<LogFinalFn>("KivoLogFinal")) final();
  s.library.reset();
  s.libraryWrite = nullptr;
  s.enabled = false;
}

bool TTrace::Enabled() { return State().enabled; }

void TTrace::Write(const std::string& lineCp932) {
  TraceState& s = State();
  if (!s.enabled) return;
  std::lock_guard lock(s.mutex);
  if (s.libraryWrite) s.libraryWrite(lineCp932.c_str());
  if (s.file) {
    std::string line = Cp932ToUtf8(lineCp932);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), s.file);
  }
}

void TTrace::Label(const char* label) {
  TraceState& s = State();
  if (!s.enabled) return;
  std::lock_guard lock(s.mutex);
  if (s.file) {
    std::fprintf(s.file, "# %s\n", label);
    std::fflush(s.file);
  }
}

}  // namespace kivo
