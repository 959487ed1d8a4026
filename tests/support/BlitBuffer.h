#pragma once
// A memory target for a plug-in's Blit export, as the viewer's bitmaps lie:
// rows top-down, each padded to whole 32-bit words. The buffer is kept between
// targets, so repeated renders of one size allocate nothing.

#include <cstdint>
#include <vector>

#include "viewer/Plugin/PluginAbi.h"

class TBlitBuffer {
 public:
  // The target for width x rows pixels in the FOLIO_PIXELS_* format code,
  // valid until the next call.
  const TBlitRec& Target(int32_t code, int32_t width, int32_t rows) { return Target(code, 0, 0, width, rows); }
  // The target for the page pixels from (left, top) to (right, bottom), exclusive.
  const TBlitRec& Target(int32_t code, int32_t left, int32_t top, int32_t right, int32_t bottom);

  // The bytes of a row of width pixels in code, padded to whole 32-bit words.
  static int32_t Stride(int32_t code, int32_t width);

 private:
  std::vector<uint8_t> bits_;
  TBlitRec target_{};
};
