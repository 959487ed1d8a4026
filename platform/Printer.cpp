#include "platform/Printer.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

// Sharp enough for text, and an A4 sheet stays below ten million pixels.
constexpr int kDotsPerInch = 300;

}  // namespace

TPrinter::TPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  printer_->setResolution(kDotsPerInch);
  printer_->setFullPage(false);
}

TPrinter::~TPrinter() = default;

void TPrinter::SetOutputFile(const std::string& pdfPath) {
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(Cp1251ToQString(pdfPath));
}

bool TPrinter::ExecuteSetup() {
  // Over the window the user asked from, and kept above it.
  QPrintDialog dialog(printer_.get(), QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

int TPrinter::PageWidth() const {
  return printer_->width();
}

int TPrinter::PageHeight() const {
  return printer_->height();
}

void TPrinter::BeginDoc() {
  if (PageWidth() < 1 || PageHeight() < 1) throw Exception("The printer reports no printable area.");
  printer_->setDocName(Cp1251ToQString(Title));
  page_ = std::make_unique<TBitmap>(PageWidth(), PageHeight());
}

TCanvas& TPrinter::Canvas() {
  if (!page_) throw Exception("Nothing is being printed.");
  return page_->Canvas();
}

void TPrinter::EndDoc() {
  if (!page_) return;
  const std::unique_ptr<TBitmap> page = std::move(page_);
  QPainter painter;
  if (!painter.begin(printer_.get())) throw Exception("The printer could not start printing.");
  painter.drawImage(0, 0, page->OpaqueImage());
  painter.end();
}
