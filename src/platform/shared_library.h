// Run-time loading of shared libraries and look-up of their entry points by name.
#pragma once

#include <memory>
#include <string>

namespace kivo {

class TSharedLibrary {
public:
  // Loads the library; IsLoaded() is false when it could not be loaded.
  explicit TSharedLibrary(const std::string& path);
  ~TSharedLibrary();
  TSharedLibrary(const TSharedLibrary&) = delete;
  TSharedLibrary& operator=(const TSharedLibrary&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }
  // The entry point of that name, or null.
  void* Symbol(const char* name) const;
  template <typename Fn>
  Fn Entry(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace kivo
