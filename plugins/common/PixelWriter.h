#pragma once
// Rendered pixels into the viewer's blit target, in the pixel format the
// viewer asked for.

#include <QImage>
#include <cstdint>

#include "viewer/Plugin/PluginAbi.h"

// True for the codes SetPagePixelFormat accepts (the device code included).
bool IsPixelFormat(int32_t code);

// image drawn over a white RGB32 picture of size, its top-left corner at the
// picture's; a backend may return any format and a slightly different size.
QImage OverWhite(const QImage& image, const QSize& size);

// Writes picture (RGB32, the target rectangle's size) into the rows of target
// in a row format (not FOLIO_PIXELS_DEVICE). Throws Exception, writing
// nothing, when the target's stride or size cannot hold the rows.
void WritePixels(const QImage& picture, int32_t code, const TBlitRec& target);
