#pragma once
// Rendered pixels into the viewer's blit target, in the pixel format the
// viewer asked for.

#include <QImage>
#include <cstdint>

#include "viewer/Plugin/PluginAbi.h"

// True for the codes SetPagePixelFormat accepts (the device code included).
bool IsPixelFormat(int32_t code);

// image as an opaque RGB32 picture of size, drawn over white with its top-left
// corner at the picture's; a backend may return any format and a slightly
// different size. An opaque picture of the right size is returned as it is.
QImage OverWhite(const QImage& image, const QSize& size);

// Throws Exception when target (in a row format, not FOLIO_PIXELS_DEVICE)
// cannot hold rows rows of width pixels: no pixels, overlapping rows or too
// few bytes.
void CheckTarget(int32_t code, int width, int rows, const TBlitRec& target);

// Writes picture (opaque RGB32, the target rectangle's size) into the rows of
// target in a row format (not FOLIO_PIXELS_DEVICE). Throws Exception, writing
// nothing, when the target's stride or size cannot hold the rows.
void WritePixels(const QImage& picture, int32_t code, const TBlitRec& target);

// The sets of row loops WritePixels can use: the baseline every processor of
// the architecture runs, and AVX2 on x86-64. It uses the fastest set the
// processor runs.
enum class TRowLoops { Baseline, Avx2 };

// Makes WritePixels use loops from now on; false, changing nothing, where the
// processor cannot run them. Lets the tests run every set a machine has.
bool UseRowLoops(TRowLoops loops);
