#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include <utility>

#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

namespace {

std::string LoaderError() {
  const char* reason = dlerror();
  return reason ? reason : "unknown reason";
}

}  // namespace

TDynamicLibrary::TDynamicLibrary(const std::string& path) {
  dlerror();
  // RTLD_LOCAL keeps the plug-ins' symbols apart: they all export the same names.
  handle_ = dlopen(NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw Exception("Cannot load library [" + path + "]: " + LoaderError());
}

TDynamicLibrary::~TDynamicLibrary() {
  if (handle_) dlclose(handle_);
}

TDynamicLibrary::TDynamicLibrary(TDynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

TDynamicLibrary& TDynamicLibrary::operator=(TDynamicLibrary&& other) noexcept {
  if (this != &other) {
    if (handle_) dlclose(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

void* TDynamicLibrary::Symbol(const char* name) const {
  if (!handle_ || !name) return nullptr;
  return dlsym(handle_, name);
}

void TDynamicLibrary::Close() {
  void* handle = std::exchange(handle_, nullptr);
  if (!handle) return;
  dlerror();
  if (dlclose(handle) != 0) throw Exception("Cannot unload library: " + LoaderError());
}
