#pragma once
// A shared library loaded at run time (the plug-ins): dlopen, dlsym and
// dlclose behind a small owner that closes the library when it goes.

#include <string>

// Why the file at nativePath (the file system's spelling) cannot be a library
// of this program: unreadable, empty, not ELF, another architecture, or cut
// short so that its segments lie beyond its end; "" when it may be loaded.
std::string CheckLibraryFile(const std::string& nativePath);

class TDynamicLibrary {
 public:
  TDynamicLibrary() = default;
  // Loads the library at path (cp1251, '\' allowed) once CheckLibraryFile
  // passed; throws Exception naming the path and the reason when it cannot
  // be loaded.
  explicit TDynamicLibrary(const std::string& path);
  ~TDynamicLibrary();
  TDynamicLibrary(TDynamicLibrary&& other) noexcept;
  TDynamicLibrary& operator=(TDynamicLibrary&& other) noexcept;
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  // The address exported under name (matched exactly), or nullptr when the
  // library does not export it or none is loaded.
  void* Symbol(const char* name) const;
  // Unloads the library; throws Exception when the loader refuses. The
  // library counts as unloaded either way.
  void Close();

 private:
  void* handle_ = nullptr;
};
