#include "platform/BitmapMemory.h"

#include <sys/mman.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "platform/StrUtils.h"

namespace {

constexpr std::uint32_t kWhitePixel = 0xFFFFFFFFu;

constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct TMapping {
  void* Start;
  std::size_t Length;
};

// Whether the kernel backs a mapping with huge pages when it asks for them.
bool HugePagesOnRequest() {
  static const bool offered = [] {
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(file, modes);
    return modes.find("[always]") != std::string::npos || modes.find("[madvise]") != std::string::npos;
  }();
  return offered;
}

// Pixels of a bitmap of a huge page or more get a mapping of their own that
// starts on a huge-page boundary and asks for huge pages: the kernel then
// fills it 2 MB at a time instead of taking a fault at every 4 KB, which on
// these machines costs about 3 ms a megabyte, more than drawing the picture.
// Without huge pages the heap serves them, as it can reuse freed memory.
QImage HugePageImage(int width, int height) {
  const std::size_t rowBytes = std::size_t(width) * 4;
  const std::size_t length = (rowBytes * std::size_t(height) + 4095) & ~std::size_t(4095);
  const std::size_t reserved = length + kHugePage;
  auto mapping = std::make_unique<TMapping>();
  void* area = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return QImage();
  const auto first = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t start = (first + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
  // What lies before the aligned run (if anything) and after it goes back;
  // the start moves by less than a huge page, so there is always a tail.
  if (start > first) munmap(area, start - first);
  munmap(reinterpret_cast<void*>(start + length), first + reserved - (start + length));
  *mapping = {reinterpret_cast<void*>(start), length};
  madvise(mapping->Start, length, MADV_HUGEPAGE);
  auto* pixels = static_cast<uchar*>(mapping->Start);
  return QImage(
      pixels, width, height, qsizetype(rowBytes), QImage::Format_ARGB32,
      [](void* held) {
        const std::unique_ptr<TMapping> m(static_cast<TMapping*>(held));
        munmap(m->Start, m->Length);
      },
      mapping.release());
}

}  // namespace

QImage WhiteImage(int width, int height) {
  if (width <= 0 || height <= 0) return QImage();
  const bool huge = width <= INT_MAX / 4 && std::size_t(width) * 4 * std::size_t(height) >= kHugePage &&
                    HugePagesOnRequest();
  QImage image = huge ? HugePageImage(width, height) : QImage(width, height, QImage::Format_ARGB32);
  if (image.isNull())
    throw Exception(Format("Not enough memory for a bitmap of %d x %d pixels", width, height));
  // fill(uint) writes the word as it stands; fill(QColor) would go through Qt's colour conversion.
  image.fill(kWhitePixel);
  return image;
}
