#pragma once
// A printer in the class library's manner: BeginDoc, draw the page on Canvas
// in printer pixels, EndDoc sends it. One page per document, which is all the
// viewer prints. The output can be a PDF file instead of a printer.

#include <memory>
#include <string>

class QPrinter;
class TBitmap;
class TCanvas;

class TPrinter {
 public:
  // The system's default printer, at 300 dots per inch.
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // Prints into a PDF file (cp1251 path) instead of on paper.
  void SetOutputFile(const std::string& pdfPath);
  // The printer setup dialog (modal); true when the user confirmed it.
  bool ExecuteSetup();

  // The print job's name (cp1251), used from the next BeginDoc on.
  std::string Title;
  // Starts a page: Canvas becomes a white sheet of PageWidth x PageHeight.
  void BeginDoc();
  // Sends the page to the printer; throws Exception when the printer refuses.
  void EndDoc();
  bool Printing() const { return page_ != nullptr; }
  // The sheet being printed; throws Exception outside BeginDoc..EndDoc.
  TCanvas& Canvas();
  // The printable area in printer pixels.
  int PageWidth() const;
  int PageHeight() const;

 private:
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<TBitmap> page_;
};
