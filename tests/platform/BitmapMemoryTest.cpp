// Where large bitmaps' pixels live: a mapping of their own on a huge-page
// boundary, cut to the system's page, and the heap whenever the mapping
// cannot be made.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Bitmap.h"
#include "platform/BitmapMemory.h"

namespace {

constexpr int kWidth = 1100, kHeight = 1000;  // 4.4 MB, over a 2 MB huge page

bool AllWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (row[x] != 0xFFFFFFFFu) return false;
  }
  return true;
}

std::uintptr_t Address(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

}  // namespace

TEST(BitmapMemoryTest, TheSystemsSizesArePagesAndAPowerOfTwoHugePage) {
  const TPageSizes& sizes = SystemPageSizes();
  ASSERT_GT(sizes.Page, 0u);
  EXPECT_EQ(sizes.Page & (sizes.Page - 1), 0u);
  if (sizes.Huge == 0) return;  // the kernel offers no huge pages: the heap serves
  EXPECT_EQ(sizes.Huge & (sizes.Huge - 1), 0u);
  EXPECT_EQ(sizes.Huge % sizes.Page, 0u);
}

// Cut to the system's page or to a larger one (as a 16 or 64 KB page kernel
// has), the pixels start on a huge-page boundary and every byte is usable.
TEST(BitmapMemoryTest, MappingsStartOnAHugePageBoundaryForEveryPageSize) {
  const TPageSizes system = SystemPageSizes();
  if (system.Huge == 0) GTEST_SKIP() << "the kernel offers no huge pages here";
  for (const std::size_t page : {system.Page, std::size_t(16) << 10, std::size_t(64) << 10}) {
    QImage image = HugePageImage(kWidth, kHeight - 1, {page, system.Huge});
    ASSERT_FALSE(image.isNull()) << page;
    const uchar* start = image.constBits();
    EXPECT_EQ(Address(start) % system.Huge, 0u) << page;
    image.fill(0xFF102030u);
    EXPECT_EQ(image.constBits(), start) << "written in place";
    EXPECT_EQ(image.pixel(kWidth - 1, kHeight - 2), 0xFF102030u) << page;
  }
  // The bitmaps themselves take the mapping.
  if (std::size_t(kWidth) * kHeight * 4 < system.Huge) return;
  TBitmap bitmap(kWidth, kHeight);
  EXPECT_EQ(Address(bitmap.ScanLine(0)) % system.Huge, 0u);
}

// A mapping the system refuses (here far larger than any address space)
// leaves the bitmap to the heap: it is made all the same, white.
TEST(BitmapMemoryTest, ARefusedMappingFallsBackToTheHeap) {
  const TPageSizes refused{SystemPageSizes().Page, std::size_t(1) << 60};
  EXPECT_TRUE(HugePageImage(kWidth, kHeight, refused).isNull());
  const QImage image = WhiteImage(kWidth, kHeight, refused);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(kWidth, kHeight));
  EXPECT_TRUE(AllWhite(image));
  // No sizes at all (no page size known): the heap as well.
  EXPECT_TRUE(HugePageImage(kWidth, kHeight, TPageSizes{}).isNull());
  EXPECT_TRUE(AllWhite(WhiteImage(kWidth, kHeight, TPageSizes{})));
}
