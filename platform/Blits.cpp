#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/StrUtils.h"

// BitBlt, StretchBlt, AlphaBlend and the nine-slice, on our own fixed formulas.

namespace {

// A blit that reads and writes one bitmap works from a copy of its source, as GDI does.
const TBitmap& DistinctSource(const TBitmap& dst, const TBitmap& src, std::unique_ptr<TBitmap>& holder) {
  if (&dst != &src) return src;
  holder = std::make_unique<TBitmap>(src);
  return *holder;
}

std::uint32_t ApplyRop(std::uint32_t dst, std::uint32_t src, TRop rop) {
  switch (rop) {
    case TRop::SrcCopy:
      return src;
    case TRop::SrcAnd:
      return dst & src;
    case TRop::SrcPaint:
      return dst | src;
    case TRop::SrcInvert:
      return dst ^ src;
    case TRop::NotSrcCopy:
      return ~src;
  }
  return src;
}

// Moves both origins by the part of the span that starts before 0 on either side.
void ClipSpan(int& d, int& s, int& n, int dstSize, int srcSize) {
  if (s < 0) {
    d -= s;
    n += s;
    s = 0;
  }
  if (d < 0) {
    s -= d;
    n += d;
    d = 0;
  }
  n = std::min({n, dstSize - d, srcSize - s});
}

// Nearest source index for destination index i of a span of dn mapped onto sn.
int NearestIndex(int s0, int sn, int i, int dn) {
  return s0 + int(std::int64_t(i) * sn / dn);
}

}  // namespace

namespace {

// BitBlt in the bitmaps' own rows and columns.
void CopyPixels(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy, TRop rop) {
  ClipSpan(dx, sx, w, dst.Width(), src.Width());
  ClipSpan(dy, sy, h, dst.Height(), src.Height());
  if (w <= 0 || h <= 0) return;
  std::unique_ptr<TBitmap> copy;
  const TBitmap& from = DistinctSource(dst, src, copy);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* in = from.ScanLine(sy + y) + sx;
    std::uint32_t* out = dst.ScanLine(dy + y) + dx;
    for (int x = 0; x < w; ++x) out[x] = ApplyRop(out[x], in[x], rop);
  }
}

// A rectangle of the picture in the bitmap's own rows and columns.
TRect InBitmap(const TBitmap& bitmap, const TRect& r) {
  return r.Offset(-bitmap.Origin().X, -bitmap.Origin().Y);
}

}  // namespace

void BitBlt(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy, TRop rop) {
  CopyPixels(dst, dx - dst.Origin().X, dy - dst.Origin().Y, w, h, src, sx - src.Origin().X,
             sy - src.Origin().Y, rop);
}

namespace {

// One axis of a halftone stretch: for each destination pixel in the clip, the
// run of source pixels it covers with their overlaps in units of 1/dn source
// pixel; pixels outside the source are left out.
// Destination pixel i spans [i*sn, (i+1)*sn) and source pixel k spans
// [k*dn, (k+1)*dn), both scaled by dn, so every overlap is a whole number no
// larger than either size, and a pixel's overlaps add up to at most sn.
struct TAxisCover {
  std::vector<int> First;   // per destination pixel: its first source pixel
  std::vector<int> Count;   // how many (0: it covers nothing inside the source)
  std::vector<int> Offset;  // where its weights start in Weights
  std::vector<std::uint32_t> Weights;
  std::vector<std::uint32_t> Total;  // the sum of its weights
};

TAxisCover CoverAxis(int s0, int sn, int d0, int dn, int dFirst, int dEnd, int srcSize) {
  TAxisCover axis;
  const std::size_t n = std::size_t(std::max(dEnd - dFirst, 0));
  axis.First.reserve(n);
  axis.Count.reserve(n);
  axis.Offset.reserve(n);
  axis.Total.reserve(n);
  for (int d = dFirst; d < dEnd; ++d) {
    const std::int64_t lo = std::int64_t(d - d0) * sn;
    const std::int64_t hi = lo + sn;
    axis.Offset.push_back(int(axis.Weights.size()));
    int first = 0, count = 0;
    std::uint32_t total = 0;
    for (std::int64_t k = lo / dn; k <= (hi - 1) / dn; ++k) {
      const std::int64_t index = s0 + k;
      if (index < 0 || index >= srcSize) continue;
      const auto weight = std::uint32_t(std::min(hi, (k + 1) * dn) - std::max(lo, k * dn));
      if (count++ == 0) first = int(index);
      axis.Weights.push_back(weight);
      total += weight;
    }
    axis.First.push_back(first);
    axis.Count.push_back(count);
    axis.Total.push_back(total);
  }
  return axis;
}

// sum / total rounded to nearest, halves to even.
template <class Int>
std::uint32_t DivideHalfEven(Int sum, Int total) {
  Int q = sum / total;
  const Int rest = sum % total;
  if (rest > total - rest || (rest == total - rest && (q & 1))) ++q;
  return std::uint32_t(q);
}

// The box average of every covered source area. The filter is separable, so
// each source row is first summed across (once, whichever destination rows
// share it) and those sums are then weighted down; integers throughout, so
// the result is the exact rounded average. Sum is 32 bits wide when
// 255 * the largest possible weight total fits, else 64.
template <class Sum>
void StretchHalftone(TBitmap& dst, const TRect& dr, const TRect& clip, const TBitmap& src, const TRect& sr) {
  const TAxisCover xs =
      CoverAxis(sr.Left, sr.Width(), dr.Left, dr.Width(), clip.Left, clip.Right, src.Width());
  const TAxisCover ys =
      CoverAxis(sr.Top, sr.Height(), dr.Top, dr.Height(), clip.Top, clip.Bottom, src.Height());
  const int width = clip.Width();
  // Across-sums of the source rows in use, 4 channels per destination column, oldest first.
  std::deque<std::pair<int, std::vector<Sum>>> rows;
  auto acrossSums = [&](int sy) {
    std::vector<Sum> sums(std::size_t(width) * 4, 0);
    const std::uint32_t* in = src.ScanLine(sy);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t* weight = xs.Weights.data() + xs.Offset[x];
      const std::uint32_t* pixel = in + xs.First[x];
      Sum* out = sums.data() + std::size_t(x) * 4;
      for (int i = 0; i < xs.Count[x]; ++i) {
        const Sum w = weight[i];
        const std::uint32_t p = pixel[i];
        out[0] += w * (p & 0xFF);
        out[1] += w * ((p >> 8) & 0xFF);
        out[2] += w * ((p >> 16) & 0xFF);
        out[3] += w * (p >> 24);
      }
    }
    return sums;
  };
  for (int y = 0; y < clip.Height(); ++y) {
    const int count = ys.Count[y];
    if (count == 0) continue;
    const int first = ys.First[y];
    while (!rows.empty() && rows.front().first < first) rows.pop_front();
    for (int sy = rows.empty() ? first : rows.back().first + 1; sy < first + count; ++sy)
      rows.emplace_back(sy, acrossSums(sy));
    const std::uint32_t* weight = ys.Weights.data() + ys.Offset[y];
    std::uint32_t* out = dst.ScanLine(clip.Top + y) + clip.Left;
    for (int x = 0; x < width; ++x) {
      if (xs.Count[x] == 0) continue;
      Sum sums[4] = {0, 0, 0, 0};
      for (int j = 0; j < count; ++j) {
        const Sum w = weight[j];
        const Sum* across = rows[std::size_t(j)].second.data() + std::size_t(x) * 4;
        for (int c = 0; c < 4; ++c) sums[c] += w * across[c];
      }
      const Sum total = Sum(xs.Total[x]) * Sum(ys.Total[y]);
      std::uint32_t word = 0;
      for (int c = 0; c < 4; ++c) word |= DivideHalfEven<Sum>(sums[c], total) << (8 * c);
      out[x] = word;
    }
  }
}

void StretchNearest(TBitmap& dst, const TRect& dr, const TRect& clip, const TBitmap& src, const TRect& sr) {
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    const int syi = NearestIndex(sr.Top, sr.Height(), y - dr.Top, dr.Height());
    if (syi < 0 || syi >= src.Height()) continue;
    const std::uint32_t* in = src.ScanLine(syi);
    std::uint32_t* out = dst.ScanLine(y);
    for (int x = clip.Left; x < clip.Right; ++x) {
      const int sxi = NearestIndex(sr.Left, sr.Width(), x - dr.Left, dr.Width());
      if (sxi >= 0 && sxi < src.Width()) out[x] = in[sxi];
    }
  }
}

TRect BitmapRect(const TBitmap& bitmap) {
  return Rect(0, 0, bitmap.Width(), bitmap.Height());
}

}  // namespace

void StretchBlt(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect,
                TStretchMode mode) {
  // Mirrored (negative) sizes are not supported: nothing is drawn.
  if (dstRect.IsEmpty() || srcRect.IsEmpty()) return;
  const TRect dr = InBitmap(dst, dstRect);
  const TRect sr = InBitmap(src, srcRect);
  const TRect clip = IntersectRect(dr, BitmapRect(dst));
  if (clip.IsEmpty()) return;
  if (dr.Width() == sr.Width() && dr.Height() == sr.Height()) {
    // Either mode copies equal sizes exactly.
    CopyPixels(dst, clip.Left, clip.Top, clip.Width(), clip.Height(), src, sr.Left + clip.Left - dr.Left,
               sr.Top + clip.Top - dr.Top, TRop::SrcCopy);
    return;
  }
  std::unique_ptr<TBitmap> copy;
  const TBitmap& from = DistinctSource(dst, src, copy);
  if (mode == TStretchMode::ColorOnColor) {
    StretchNearest(dst, dr, clip, from, sr);
  } else if (255.0 * sr.Width() * sr.Height() <= double(UINT32_MAX)) {
    StretchHalftone<std::uint32_t>(dst, dr, clip, from, sr);
  } else {
    StretchHalftone<std::uint64_t>(dst, dr, clip, from, sr);
  }
}

namespace {

std::uint32_t BlendPixel(std::uint32_t d, std::uint32_t s, int constAlpha) {
  const int sourceAlpha = WordChannel(s, 3) * constAlpha / 255;
  std::uint32_t word = 0;
  for (int c = 0; c < 4; ++c) {
    const int sc = c == 3 ? sourceAlpha : WordChannel(s, c) * constAlpha / 255;
    // A source that is not truly premultiplied could exceed 255; saturate rather than wrap.
    const int value = std::min(sc + WordChannel(d, c) * (255 - sourceAlpha) / 255, 255);
    word |= std::uint32_t(value) << (8 * c);
  }
  return word;
}

bool Inside(const TRect& r, const TRect& bounds) {
  return r.Left >= bounds.Left && r.Top >= bounds.Top && r.Right <= bounds.Right && r.Bottom <= bounds.Bottom;
}

}  // namespace

bool AlphaBlend(TBitmap& dst, const TRect& pictureDstRect, const TBitmap& src, const TRect& pictureSrcRect,
                int constAlpha) {
  const TRect dstRect = InBitmap(dst, pictureDstRect);
  const TRect srcRect = InBitmap(src, pictureSrcRect);
  if (dstRect.IsEmpty() || srcRect.IsEmpty() || !Inside(srcRect, BitmapRect(src))) return false;
  constAlpha = std::clamp(constAlpha, 0, 255);
  const TRect clip = IntersectRect(dstRect, BitmapRect(dst));
  if (clip.IsEmpty()) return true;
  std::unique_ptr<TBitmap> copy;
  const TBitmap& from = DistinctSource(dst, src, copy);
  // Each column's source pixel, found once for all the rows.
  std::vector<int> columns(std::size_t(clip.Width()));
  for (int x = clip.Left; x < clip.Right; ++x)
    columns[std::size_t(x - clip.Left)] =
        NearestIndex(srcRect.Left, srcRect.Width(), x - dstRect.Left, dstRect.Width());
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    const std::uint32_t* in =
        from.ScanLine(NearestIndex(srcRect.Top, srcRect.Height(), y - dstRect.Top, dstRect.Height()));
    std::uint32_t* out = dst.ScanLine(y) + clip.Left;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const std::uint32_t pixel = in[columns[i]];
      // A clear pixel leaves the destination as it is, and an opaque one at
      // full strength replaces it: the blend's own result, without its work.
      if (pixel == 0) continue;
      out[i] = pixel >> 24 == 255 && constAlpha == 255 ? pixel : BlendPixel(out[i], pixel, constAlpha);
    }
  }
  return true;
}

namespace {

// One axis of a nine-slice: the destination cells (the first and last at most
// their margins, never more than the destination holds) and the source cells.
struct TSlices {
  int Dst[4];
  int Src[4];
};

TSlices Slice(int d0, int d1, int srcSize, int marginLo, int marginHi) {
  const int lo = std::min(marginLo, d1 - d0);
  const int hi = std::min(marginHi, d1 - d0 - lo);
  return {{d0, d0 + lo, d1 - hi, d1}, {0, marginLo, srcSize - marginHi, srcSize}};
}

}  // namespace

void StretchNineSlice(TBitmap& dst, const TRect& dstRect, const TBitmap& src, int marginLeft, int marginTop,
                      int marginRight, int marginBottom) {
  // Each margin is checked against what is left of the picture, so margins
  // near the top of the int range cannot overflow their sum.
  if (marginLeft < 0 || marginTop < 0 || marginRight < 0 || marginBottom < 0 || marginLeft > src.Width() ||
      marginRight > src.Width() - marginLeft || marginTop > src.Height() ||
      marginBottom > src.Height() - marginTop)
    throw Exception(Format("The margins %d, %d, %d, %d do not fit a picture of %d x %d pixels", marginLeft,
                           marginTop, marginRight, marginBottom, src.Width(), src.Height()));
  if (dstRect.IsEmpty()) return;
  const TSlices xs = Slice(dstRect.Left, dstRect.Right, src.Width(), marginLeft, marginRight);
  const TSlices ys = Slice(dstRect.Top, dstRect.Bottom, src.Height(), marginTop, marginBottom);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const TRect d = Rect(xs.Dst[col], ys.Dst[row], xs.Dst[col + 1], ys.Dst[row + 1]);
      if (d.IsEmpty()) continue;
      const bool stretchX = col == 1;
      const bool stretchY = row == 1;
      if (!stretchX && !stretchY) {
        BitBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, xs.Src[col], ys.Src[row]);
        continue;
      }
      // An edge keeps its margin's thickness, cropped from the cell's top-left like a corner.
      const int srcRight = stretchX ? xs.Src[2] : xs.Src[col] + d.Width();
      const int srcBottom = stretchY ? ys.Src[2] : ys.Src[row] + d.Height();
      StretchBlt(dst, d, src, Rect(xs.Src[col], ys.Src[row], srcRight, srcBottom), TStretchMode::Halftone);
    }
  }
}
