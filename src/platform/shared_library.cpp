// dlopen/dlsym behind the shared-library wrapper.
#include "platform/shared_library.h"

#include <dlfcn.h>

namespace kivo {

TSharedLibrary::TSharedLibrary(const std::string& path) {
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* message = ::dlerror();
    error_ = message ? message : "cannot load " + path;
  }
}

TSharedLibrary::~TSharedLibrary() {
  if (handle_) ::dlclose(handle_);
}

void* TSharedLibrary::Symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

}  // namespace kivo
