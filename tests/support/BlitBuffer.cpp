#include "tests/support/BlitBuffer.h"

#include <cstddef>

int32_t TBlitBuffer::Stride(int32_t code, int32_t width) {
  const int32_t bytesPerPixel = code == FOLIO_PIXELS_GREY ? 1 : code == FOLIO_PIXELS_RGB ? 3 : 4;
  const int32_t rowBytes = code == FOLIO_PIXELS_MONO ? (width + 7) / 8 : width * bytesPerPixel;
  return (rowBytes + 3) / 4 * 4;
}

const TBlitRec& TBlitBuffer::Target(int32_t code, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int32_t stride = Stride(code, right - left);
  bits_.resize(std::size_t(stride) * std::size_t(bottom - top));
  target_ = TBlitRec{};
  target_.Left = left;
  target_.Top = top;
  target_.Right = right;
  target_.Bottom = bottom;
  target_.One = 1;
  target_.Bits = bits_.data();
  target_.Stride = stride;
  target_.BitsSize = int32_t(bits_.size());
  return target_;
}
