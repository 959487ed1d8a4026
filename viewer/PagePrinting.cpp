#include "viewer/PagePrinting.h"

#include <cmath>
#include <cstdint>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/Printer.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

// Holds a document and one of its pages for the time of a print.
class THeldPage {
 public:
  THeldPage(TPluginDocument* doc, int n) : doc_(doc) {
    doc_->AddRef();
    try {
      page_ = doc_->GetPage(n);
    } catch (...) {
      doc_->Release();
      throw;
    }
  }
  ~THeldPage() {
    doc_->ReleasePage(page_);
    // A document opened only for printing is closed again.
    doc_->Release();
  }
  THeldPage(const THeldPage&) = delete;
  THeldPage& operator=(const THeldPage&) = delete;

  TPluginPage2* Page() const { return page_; }

 private:
  TPluginDocument* doc_;
  TPluginPage2* page_ = nullptr;
};

void ReportUnprintable(TCanvas& Canvas, const TRect& Rect, const std::string& FileName, int PageNumber) {
  Canvas.TextRect(Rect, Rect.Left, Rect.Top,
                  Format("unable to print file %s page %d", Utf8ToCp1251(FileName), PageNumber));
}

// The job name: the file without its extension (folders kept).
std::string JobTitle(const std::string& FileName, int PageNumber) {
  const std::size_t dot = FileName.find_last_of('.');
  const std::size_t slash = FileName.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? FileName.substr(0, dot) : FileName) + "-page" + std::to_string(PageNumber);
}

}  // namespace

void PrintPage(const std::string& FileName, int PageNumber) {
  TPrinter printer;
  if (printer.ExecuteSetup()) PrintPageOn(printer, FileName, PageNumber);
}

void PrintPageOn(TPrinter& Printer, const std::string& FileName, int PageNumber) {
  Printer.Title = Utf8ToCp1251(JobTitle(FileName, PageNumber));
  Printer.BeginDoc();
  TRect sheet = Rect(0, 0, Printer.PageWidth(), Printer.PageHeight());
  try {
    RenderPageToCanvas(Printer.Canvas(), sheet, FileName, PageNumber);
  } catch (...) {
    Printer.EndDoc();
    throw;
  }
  Printer.EndDoc();
}

void LimitPrintRenderSize(int& w, int& h) {
  const double pixels = double(w) * double(h);
  if (pixels <= double(kMaxPrintRenderPixels)) return;
  const double s = std::sqrt(double(kMaxPrintRenderPixels) / pixels);
  w = RoundHalfEven(w * s);
  h = RoundHalfEven(h * s);
}

void RenderPageToCanvas(TCanvas& Canvas, TRect& Rect, const std::string& FileName, int PageNumber) {
  TPluginDocument* doc = FileManager ? FileManager->Open(FileName) : nullptr;
  // A page the document does not have would fail as a damaged file: say what it is.
  if (!doc || PageNumber < 1 || PageNumber > doc->PageCount()) {
    ReportUnprintable(Canvas, Rect, FileName, PageNumber);
    return;
  }
  const THeldPage held(doc, PageNumber);
  TPluginPage2* page = held.Page();
  if (!page) {
    ReportUnprintable(Canvas, Rect, FileName, PageNumber);
    return;
  }
  const int w0 = Rect.Width(), h0 = Rect.Height();
  int w = w0, h = h0;
  page->SetSize(w, h, FOLIO_SIZE_FIT_HEIGHT);
  if (w > w0) {
    w = w0;
    h = h0;
    page->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH);
  }
  w = page->RenderWidth();
  h = page->RenderHeight();
  Rect.Right = Rect.Left + w;
  Rect.Bottom = Rect.Top + h;
  int sw = w, sh = h;
  LimitPrintRenderSize(sw, sh);
  if (sw != w || sh != h) page->SetSize(sw, sh, FOLIO_SIZE_FIT_WIDTH);
  page->SetPixelFormat(page->PageInfo().PixelFormat);
  // Through a bitmap of its own, so the page lands at Rect's corner wherever that is.
  TBitmap rendered(page->RenderWidth(), page->RenderHeight());
  page->Render(rendered.Canvas(), ::Rect(0, 0, rendered.Width(), rendered.Height()));
  StretchBitmapToCanvas(Canvas, Rect, rendered);
}

void StretchBitmapToCanvas(TCanvas& Canvas, const TRect& Rect, const TBitmap& Bitmap) {
  StretchBlt(Canvas.Bitmap(), Rect, Bitmap, ::Rect(0, 0, Bitmap.Width(), Bitmap.Height()),
             TStretchMode::Halftone);
}
