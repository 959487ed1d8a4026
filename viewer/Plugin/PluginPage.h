#pragma once
// One page of a document: created through the plug-in, sized in pixels and
// rendered onto a canvas in the pixel format the plug-in writes; the zoom
// arithmetic and the margin finder that locates the printed content.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "viewer/Plugin/PluginAbi.h"
#include "viewer/Plugin/PluginLinkArea.h"
#include "viewer/Plugin/PluginLog.h"

class TBitmap;
class TCanvas;
class TPlugin;
class TPluginDocument;

class TPluginPage {
 public:
  // Asks the plug-in for page PageNumber (1-based). Throws Exception when the
  // plug-in refuses, or answers with a page that has no handle or no usable size.
  TPluginPage(TPluginDocument* Document, int PageNumber);
  // Frees the link areas and the plug-in's page.
  virtual ~TPluginPage();
  TPluginPage(const TPluginPage&) = delete;
  TPluginPage& operator=(const TPluginPage&) = delete;

  // The page's link areas; this page has none.
  virtual TPluginLinkAreaList& GetLinkAreas();
  // Asks the plug-in for pixel-format code Code (FOLIO_PIXELS_*) and returns its
  // answer; the page renders in that format from now on only when the answer is
  // not 0, so the bitmap always matches what the plug-in writes.
  virtual int SetPixelFormat(int Code);
  // Asks the plug-in to render at Width x Height (Mode: FOLIO_SIZE_*); on
  // success both hold the size it accepted, which becomes the render size.
  virtual bool SetSize(int& Width, int& Height, int Mode);
  // Draws the page pixels of Rect (render pixels) onto Canvas at the same
  // coordinates; the Blit result, 0 when nothing was rendered.
  int Render(TCanvas& Canvas, const TRect& Rect) { return Render(Canvas, Rect, {}); }
  // The same onto a canvas whose top-left pixel shows page pixel Origin, so a
  // canvas the size of a window can hold a part of a larger page. Pixel
  // formats the canvas holds itself are written straight into its rows.
  virtual int Render(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin);
  // Zoom is a percentage of the page's physical size on the screen, or -1
  // (whole page in Width x Height), -2 (fit Height), -3 (fit Width). Sets the
  // render size; Width and Height come back as it, Zoom as the percentage it is.
  virtual bool CalcZoom(int& Zoom, int& Width, int& Height);
  // The part of the page that holds content, in millimetres, found on a
  // 128-pixel-wide thumbnail; the render size is kept.
  virtual bool GetTextBounds(TPluginRect& Bounds);
  // Text and selection; a page without text does nothing here.
  virtual void ClearSelection() {}
  virtual void SelectRect(const TRect&) {}
  virtual std::string GetSelectedText() { return {}; }
  virtual void SelectRange(int, int) {}
  virtual void FlagRange(int, int) {}
  virtual int GetTextLength() { return 0; }
  virtual std::string GetText() { return {}; }
  virtual void SetLayer(int) {}
  virtual int GetLayer() const { return 0; }

  const TPageInfo& PageInfo() const { return pageInfo_; }
  TPluginDocument* Document() const { return document_; }
  TPluginHandle Handle() const { return handle_; }
  const std::string& Caption() const { return caption_; }
  double WidthMm() const { return widthMm_; }
  double HeightMm() const { return heightMm_; }
  int RenderWidth() const { return renderWidth_; }
  int RenderHeight() const { return renderHeight_; }
  int NativeWidth() const { return nativeWidth_; }
  int NativeHeight() const { return nativeHeight_; }
  int PixelFormatCode() const { return code_; }
  // The link areas as far as they were loaded, without loading them.
  const TPluginLinkAreaList& LoadedLinkAreas() const { return linkAreas_; }
  bool LinkAreasLoaded() const { return linkAreasLoaded_; }

 protected:
  // The plug-in serving this page, when it and both handles are there.
  TPlugin* LivePlugin() const;
  // What the plug-in logs meanwhile is about this page's document.
  TPluginLogScope LogScope() const;

  bool linkAreasLoaded_ = false;
  TPluginLinkAreaList linkAreas_{true};

 private:
  int RenderOnDevice(TCanvas& Canvas, const TRect& r, const TPoint& origin);
  int RenderIntoCanvas(TCanvas& Canvas, const TRect& r, const TPoint& origin);
  int RenderThroughRows(TCanvas& Canvas, TRect r, const TPoint& origin);

  // The rows the plug-in writes in formats the canvas does not hold, kept
  // between renders.
  std::vector<std::uint8_t> rows_;

  TPageInfo pageInfo_{};
  TPluginHandle handle_ = 0;
  TPluginDocument* document_ = nullptr;
  std::string caption_;
  double widthMm_ = 0;
  double heightMm_ = 0;
  int renderWidth_ = 0;
  int renderHeight_ = 0;
  int nativeWidth_ = 0;
  int nativeHeight_ = 0;
  int code_ = 0;
};

// The palettes of the indexed formats as the plug-ins mean them: grey entry i
// is 255 - i in every channel (0 white, 255 black); mono 0 white, 1 black.
const std::vector<std::uint32_t>& GreyPalette();
const std::vector<std::uint32_t>& MonoPalette();

// The margin finder, on 32-bit bitmaps. Two pixels are alike when
// 5|dB| + 9|dG| + 2|dR| <= 48 (the fourth byte ignored).
bool SimilarColor(std::uint32_t A, std::uint32_t B);
// R := the whole bitmap but its last column and row, shrunk to its content.
void FindContentRect(const TBitmap& Bitmap, TRect& R);
// Shrinks R to the rows and columns that differ from R's first/last row and
// column, grown by one pixel; a bitmap under 3 x 3 or an empty R stays as it is.
void ShrinkToContent(const TBitmap& Bitmap, TRect& R);
