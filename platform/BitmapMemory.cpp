#include "platform/BitmapMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QtGlobal>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "platform/StrUtils.h"

namespace {

constexpr std::uint32_t kWhitePixel = 0xFFFFFFFFu;

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t unit) {
  return (value + unit - 1) / unit * unit;
}

// Whether the kernel backs a mapping with huge pages when it asks for them.
bool HugePagesOnRequest() {
  std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(file, modes);
  return modes.find("[always]") != std::string::npos || modes.find("[madvise]") != std::string::npos;
}

TPageSizes ReadPageSizes() {
  TPageSizes sizes;
  const long page = sysconf(_SC_PAGESIZE);
  if (page <= 0) return sizes;
  sizes.Page = std::size_t(page);
  if (!HugePagesOnRequest()) return sizes;
  std::ifstream file("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size");
  std::uint64_t huge = 0;
  // A huge page the alignment can use is a power of two and whole pages.
  if (file >> huge && huge > sizes.Page && (huge & (huge - 1)) == 0 && huge % sizes.Page == 0)
    sizes.Huge = std::size_t(huge);
  return sizes;
}

// Gives a run of pages back to the system; a failure can only be reported.
void GiveBack(std::uintptr_t start, std::uint64_t length) {
  if (length == 0) return;
  if (munmap(reinterpret_cast<void*>(start), length) != 0)
    qWarning("Bitmap memory: munmap of %llu bytes failed: %s", static_cast<unsigned long long>(length),
             std::strerror(errno));
}

struct TMapping {
  std::uintptr_t Start;
  std::uint64_t Length;
};

}  // namespace

const TPageSizes& SystemPageSizes() {
  static const TPageSizes sizes = ReadPageSizes();
  return sizes;
}

// The kernel fills a mapping advised for huge pages a huge page at a time
// instead of taking a fault at every page. Touching 16 MB of fresh memory a
// page at a time took 0.64 ms a megabyte in 4 KB pages and 0.05 ms in 2 MB
// pages (median of 15 runs of a small test program on the 8-core machine
// these programs are built on), and a screen-sized bitmap is 5 MB. The mapping is taken a
// huge page longer than needed, and what lies before and after the aligned
// run goes back.
QImage HugePageImage(int width, int height, const TPageSizes& sizes) {
  if (sizes.Page == 0 || sizes.Huge == 0 || width <= 0 || height <= 0 || width > INT_MAX / 4) return QImage();
  const std::uint64_t rowBytes = std::uint64_t(width) * 4;
  const std::uint64_t length = RoundUp(rowBytes * std::uint64_t(height), sizes.Page);
  if (length > SIZE_MAX / 2 || sizes.Huge > SIZE_MAX / 2) return QImage();
  const std::uint64_t reserved = length + sizes.Huge;
  void* area = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return QImage();
  const auto first = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t start = RoundUp(first, sizes.Huge), end = start + length, last = first + reserved;
  // Should any call fail, all that is still mapped goes back and the caller
  // takes the heap.
  if (start > first && munmap(area, start - first) != 0) {
    GiveBack(first, reserved);
    return QImage();
  }
  if (munmap(reinterpret_cast<void*>(end), last - end) != 0) {
    GiveBack(start, last - start);
    return QImage();
  }
  if (madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE) != 0) {
    GiveBack(start, length);
    return QImage();
  }
  auto mapping = std::make_unique<TMapping>(TMapping{start, length});
  return QImage(
      reinterpret_cast<uchar*>(start), width, height, qsizetype(rowBytes), QImage::Format_ARGB32,
      [](void* held) {
        const std::unique_ptr<TMapping> m(static_cast<TMapping*>(held));
        GiveBack(m->Start, m->Length);
      },
      mapping.release());
}

QImage WhiteImage(int width, int height, const TPageSizes& sizes) {
  if (width <= 0 || height <= 0) return QImage();
  QImage image;
  // Smaller pictures, and large ones where huge pages are not on offer,
  // come from the heap, which can reuse freed memory.
  if (sizes.Huge > 0 && std::uint64_t(width) * 4 * std::uint64_t(height) >= sizes.Huge)
    image = HugePageImage(width, height, sizes);
  if (image.isNull()) image = QImage(width, height, QImage::Format_ARGB32);
  if (image.isNull())
    throw Exception(Format("Not enough memory for a bitmap of %d x %d pixels", width, height));
  // fill(uint) writes the word as it stands; fill(QColor) would go through Qt's colour conversion.
  image.fill(kWhitePixel);
  return image;
}
