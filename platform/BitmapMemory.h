#pragma once

#include <QImage>
#include <cstddef>

// The sizes a large bitmap's own mapping is cut to: the system's page, and
// the huge page the kernel fills at once (0 where it offers none). Page 0
// means no mappings at all.
struct TPageSizes {
  std::size_t Page = 0;
  std::size_t Huge = 0;
};

// This system's: the page from sysconf, the huge page from the kernel's
// transparent huge-page settings. Read once.
const TPageSizes& SystemPageSizes();

// A picture of width x height in ARGB32, not yet filled, in a mapping of its
// own that starts on a huge-page boundary and asks the kernel for huge pages.
// A null image when the sizes allow no such mapping or any system call fails.
QImage HugePageImage(int width, int height, const TPageSizes& sizes);

// Where a bitmap's pixels live: a new picture of width x height, all white,
// in ARGB32. A bitmap of a huge page or more takes a huge-page mapping where
// sizes offer one, else (and should the mapping fail) the heap. Throws
// Exception when there is not memory enough for it.
QImage WhiteImage(int width, int height, const TPageSizes& sizes = SystemPageSizes());
