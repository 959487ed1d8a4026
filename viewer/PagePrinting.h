#pragma once
// Printing one page of a document: scaled to the sheet, proportions kept.

#include <string>

#include "platform/Types.h"

class TBitmap;
class TCanvas;
class TPrinter;

// Pages larger than this many pixels are rendered smaller and stretched, as
// plug-ins render slowly (or not at all) at printer sizes.
constexpr long long kMaxPrintRenderPixels = 9'000'000;

// File names are in the file system's spelling (UTF-8), as the file manager takes them.
// Page n of FileName on the printer the user picks in the printer setup dialog.
void PrintPage(const std::string& FileName, int PageNumber);
// The same on a printer set up by the caller; the job is named after the file
// (extension removed) + "-page" + n. The page is sent also when drawing it fails.
void PrintPageOn(TPrinter& Printer, const std::string& FileName, int PageNumber);
// Draws page n of FileName as large as it fits into Rect, at its top-left;
// Rect shrinks to the page drawn. A file or page that cannot be had is
// reported in writing in its place.
void RenderPageToCanvas(TCanvas& Canvas, TRect& Rect, const std::string& FileName, int PageNumber);
// The size to render a w x h page at: scaled down, proportions kept, to at
// most kMaxPrintRenderPixels.
void LimitPrintRenderSize(int& w, int& h);
// Stretches all of Bitmap onto Rect of Canvas (halftone).
void StretchBitmapToCanvas(TCanvas& Canvas, const TRect& Rect, const TBitmap& Bitmap);
