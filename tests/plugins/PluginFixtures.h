#pragma once
// The real plug-ins as the viewer sees them: loaded from the viewer's tree,
// bound export by export, with documents, pages and contexts that clean up
// after themselves, and the log lines each test caused.

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <string>
#include <vector>

#include "tests/HandMadePdf.h"
#include "viewer/Plugin/PluginAbi.h"

struct TPluginApi {
  TGetPluginDescription GetPluginDescription;
  TGetPluginVersion GetPluginVersion;
  TSetupPlugin SetupPlugin;
  TCreateDocument CreateDocument;
  TDestroyDocument DestroyDocument;
  TSetupDocument SetupDocument;
  TOpenDocument OpenDocument;
  TGetPageCount GetPageCount;
  TCreatePage CreatePage;
  TDestroyPage DestroyPage;
  TSetPagePixelFormat SetPagePixelFormat;
  TSetPageSize SetPageSize;
  TBlit Blit;
  TCreateContext CreateContext;
  TDestoryContext DestoryContext;
  TSetupContext SetupContext;
  TGetText GetText;
  TGetTableOfContents GetTableOfContents;
  TReadRects ReadRects;
  TReadActiveRectsCount ReadActiveRectsCount;
  TReadActiveRects ReadActiveRects;
  TOpenDocumentUtf8 OpenDocumentUtf8;
  TReadActiveRectsUtf8 ReadActiveRectsUtf8;
};

// What the grey format holds for a pixel: 0 white .. 255 black by the usual
// luma weights; the mono format sets a pixel whose Luma is 128 or more.
inline uint8_t Luma(QRgb pixel) {
  return uint8_t(255 - (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000);
}

// The plug-in <format>.so of the viewer's tree, loaded once and set up with a
// log that the fixture below empties before every test.
const TPluginApi& Plugin(const std::string& format);
std::vector<std::string>& PluginLog();
// A document of the viewer's tree ("sample.pdf").
std::string SamplePath(const std::string& name);

class TDocument {
 public:
  // Opens path through OpenDocument (cp1251), or OpenDocumentUtf8 when native.
  TDocument(const TPluginApi& api, const std::string& path, bool native = false);
  ~TDocument();
  TDocument(const TDocument&) = delete;
  TDocument& operator=(const TDocument&) = delete;
  bool Opened() const { return opened_; }
  TPluginHandle Handle() const { return handle_; }
  // Gives the handle back early, as the viewer does before its pages go.
  void Destroy();

 private:
  const TPluginApi& api_;
  TPluginHandle handle_;
  bool opened_ = false;
};

class TPage {
 public:
  // Fails the test when the page cannot be made.
  TPage(const TPluginApi& api, const TDocument& document, int number);
  ~TPage();
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;
  const TPageInfo& Info() const { return info_; }
  TPluginHandle Handle() const { return info_.Page; }
  // Sets the render size by width (mode 1) and returns the height.
  int FitWidth(int width);
  // The rectangle rendered in RGBX as a picture of the rectangle's size; a
  // null picture when Blit refused.
  QImage Render(const QRect& area);
  // The rectangle in a pixel format: its rows top-down, stride bytes apart.
  std::vector<uint8_t> RenderRows(int32_t code, const QRect& area, int stride);
  // Millimetres to pixels of the current render size.
  QRect Pixels(const TPluginRect& mm) const;

 private:
  const TPluginApi& api_;
  TPageInfo info_{};
  int width_ = 0;
  int height_ = 0;
};

struct TLink {
  std::vector<TPluginPoint> Points;
  std::string Text;
};

// A text context set to one page.
class TContext {
 public:
  TContext(const TPluginApi& api, const TDocument& document, int page);
  ~TContext();
  TContext(const TContext&) = delete;
  TContext& operator=(const TContext&) = delete;
  TPluginHandle Handle() const { return record_.Context; }
  std::string Text() const;
  std::vector<TPluginRect> Rects() const;
  // Read through ReadActiveRects, or through ReadActiveRectsUtf8 when native.
  std::vector<TLink> Links(bool native = false) const;
  // The rectangle around the characters of the first occurrence of word.
  TPluginRect WordRect(const std::string& word) const;

 private:
  const TPluginApi& api_;
  TContextRec record_{};
};

// A temporary folder that goes with the object, also when it holds names that
// are no UTF-8 (which Qt cannot remove).
class TScratchFolder {
 public:
  TScratchFolder();
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  // The folder, without a trailing "/".
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Every test starts with an empty log.
class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override { PluginLog().clear(); }
};

// Tests that run once for each plug-in on its own sample.
class EachPluginTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { PluginLog().clear(); }
  const TPluginApi& Api() const { return Plugin(GetParam()); }
  std::string Sample() const { return SamplePath("sample." + GetParam()); }
};

// A copy of the first bytes of a file, or a file of the given contents, in a
// temporary folder that goes with the object.
class TScratchFile {
 public:
  explicit TScratchFile(const std::string& contents);
  static TScratchFile Truncated(const std::string& path, double share);
  ~TScratchFile();
  TScratchFile(TScratchFile&&) noexcept;
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Fraction of the pixels of area in picture that are dark (grey < 128).
double InkShare(const QImage& picture, const QRect& area);
// Saves a picture under the render folder for a person to look at.
void SaveRender(const QImage& picture, const std::string& name);
