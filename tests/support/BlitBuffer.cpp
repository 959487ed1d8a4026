#include "tests/support/BlitBuffer.h"

#include <cstddef>

int32_t TBlitBuffer::Stride(int32_t code, int32_t width) {
  const int32_t bytesPerPixel = code == FOLIO_PIXELS_GREY ? 1 : code == FOLIO_PIXELS_RGB ? 3 : 4;
  const int32_t rowBytes = code == FOLIO_PIXELS_MONO ? (width + 7) / 8 : width * bytesPerPixel;
  return (rowBytes + 3) / 4 * 4;
}

const TBlitRec& TBlitBuffer::Target(int32_t code, int32_t width, int32_t rows) {
  const int32_t stride = Stride(code, width);
  bits_.resize(std::size_t(stride) * std::size_t(rows));
  target_ = TBlitRec{};
  target_.Right = width;
  target_.Bottom = rows;
  target_.One = 1;
  target_.Bits = bits_.data();
  target_.Stride = stride;
  target_.BitsSize = int32_t(bits_.size());
  return target_;
}
