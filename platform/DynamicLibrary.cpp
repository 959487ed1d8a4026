#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

namespace {

std::string LoaderError() {
  const char* reason = dlerror();
  return reason ? reason : "unknown reason";
}

// Closes a file descriptor when it goes.
class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

bool ReadAt(int fd, void* to, std::size_t size, off_t offset) {
  return pread(fd, to, size, offset) == static_cast<ssize_t>(size);
}

// The ELF identification and machine that this program was built for; a
// library must match them to be loaded into it.
const ElfW(Ehdr) & OwnHeader() {
  static const ElfW(Ehdr) header = [] {
    ElfW(Ehdr) own{};
    const TFileDescriptor fd(open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0 || !ReadAt(fd.Get(), &own, sizeof own, 0)) std::memset(&own, 0, sizeof own);
    return own;
  }();
  return header;
}

bool Inside(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

// Why the program headers of the library in fd would make the loader touch
// bytes the file does not have (a truncated file faults inside dlopen), or "".
std::string CheckSegments(int fd, const ElfW(Ehdr) & header, std::uint64_t fileSize) {
  if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0)
    return "it has no usable program headers";
  if (!Inside(header.e_phoff, std::uint64_t(header.e_phnum) * sizeof(ElfW(Phdr)), fileSize))
    return "its program headers lie beyond its end (the file is cut short)";
  for (int i = 0; i < header.e_phnum; ++i) {
    ElfW(Phdr) segment{};
    if (!ReadAt(fd, &segment, sizeof segment, off_t(header.e_phoff + i * sizeof segment)))
      return "its program headers cannot be read";
    if (segment.p_type == PT_NULL) continue;
    if (!Inside(segment.p_offset, segment.p_filesz, fileSize))
      return Format("segment %d lies beyond its end (the file is cut short)", i);
  }
  // The loader does not read the section headers, but they come last: without
  // them the file was cut short and what else it lost is unknown.
  if (header.e_shoff != 0 &&
      !Inside(header.e_shoff, std::uint64_t(header.e_shnum) * header.e_shentsize, fileSize))
    return "its section headers lie beyond its end (the file is cut short)";
  return "";
}

}  // namespace

std::string CheckLibraryFile(const std::string& nativePath) {
  const TFileDescriptor fd(open(nativePath.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) return std::string("it cannot be read: ") + std::strerror(errno);
  struct stat info {};
  if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return "it is not a regular file";
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);
  if (fileSize == 0) return "it is empty";
  ElfW(Ehdr) header{};
  if (fileSize < sizeof header || !ReadAt(fd.Get(), &header, sizeof header, 0) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
    return "it is not a shared library (no ELF header)";
  const ElfW(Ehdr)& own = OwnHeader();
  if (header.e_ident[EI_CLASS] != own.e_ident[EI_CLASS] || header.e_ident[EI_DATA] != own.e_ident[EI_DATA] ||
      header.e_machine != own.e_machine)
    return "it is built for another processor architecture";
  if (header.e_type != ET_DYN) return "it is not a shared library";
  return CheckSegments(fd.Get(), header, fileSize);
}

TDynamicLibrary::TDynamicLibrary(const std::string& path) {
  const std::string native = NativePath(path);
  // The loader maps the file as its headers say; headers that point past the
  // end of a damaged file would crash the program inside dlopen.
  const std::string damage = CheckLibraryFile(native);
  if (!damage.empty()) throw Exception("Cannot load library [" + path + "]: " + damage);
  dlerror();
  // RTLD_LOCAL keeps the plug-ins' symbols apart: they all export the same names.
  handle_ = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
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
