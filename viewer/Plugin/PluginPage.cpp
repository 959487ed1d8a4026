#include "viewer/Plugin/PluginPage.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginDocument.h"

namespace {

constexpr int kThumbnailWidth = 128;
// Our fixed logical resolution, for a screen that reports no physical size.
constexpr double kPixelsPerMm = 96 / 25.4;

std::string DamagedMessage(const TPluginDocument* document) {
  return "this should not happen. unable create page - file " +
         (document ? Utf8ToCp1251(document->FileName()) : "") + " damaged";
}

bool UsableLength(double mm) {
  return std::isfinite(mm) && mm > 0;
}

// Pixels per millimetre of the screen along one axis.
double ScreenScale(int resIndex, int sizeIndex) {
  const int res = ScreenDeviceCaps(resIndex), size = ScreenDeviceCaps(sizeIndex);
  return res > 0 && size > 0 ? double(res) / size : kPixelsPerMm;
}

bool BitmapFormat(int code, TPixelFormat& format) {
  switch (code) {
    case FOLIO_PIXELS_MONO:
      format = TPixelFormat::pf1bit;
      return true;
    case FOLIO_PIXELS_GREY:
      format = TPixelFormat::pf8bit;
      return true;
    case FOLIO_PIXELS_RGB:
      format = TPixelFormat::pf24bit;
      return true;
    case FOLIO_PIXELS_RGBX:
      format = TPixelFormat::pf32bit;
      return true;
    default:
      return false;
  }
}

TBlitRec BlitTarget(const TRect& r) {
  TBlitRec target{};
  target.Left = r.Left;
  target.Top = r.Top;
  target.Right = r.Right;
  target.Bottom = r.Bottom;
  target.One = 1;
  return target;
}

}  // namespace

TPluginPage::TPluginPage(TPluginDocument* Document, int PageNumber) : document_(Document) {
  const TPluginLogScope logScope = LogScope();
  TPlugin* plugin = document_ ? document_->Plugin() : nullptr;
  if (!plugin || !plugin->CreatePage(document_->Handle(), PageNumber, &pageInfo_))
    throw Exception(DamagedMessage(document_));
  handle_ = pageInfo_.Page;
  if (!handle_) throw Exception(DamagedMessage(document_));
  // Everything after this divides by these sizes: a page without them is of no use.
  if (!UsableLength(pageInfo_.Width) || !UsableLength(pageInfo_.Height) || pageInfo_.NativeWidth < 1 ||
      pageInfo_.NativeHeight < 1) {
    plugin->DestroyPage(handle_);
    throw Exception(DamagedMessage(document_));
  }
  // The native size is the first render size and sizes the window: a page
  // claiming more than any plug-in renders would have the view take it whole.
  if (pageInfo_.NativeWidth > FOLIO_MAX_PAGE_SIDE || pageInfo_.NativeHeight > FOLIO_MAX_PAGE_SIDE) {
    plugin->DestroyPage(handle_);
    throw Exception(
        Format("Page %d of the file %s claims %d x %d pixels; pages of more than %d pixels a side "
               "cannot be shown",
               PageNumber, document_->FileName(), pageInfo_.NativeWidth, pageInfo_.NativeHeight,
               FOLIO_MAX_PAGE_SIDE));
  }
  caption_ = pageInfo_.Caption ? pageInfo_.Caption : "";
  widthMm_ = pageInfo_.Width;
  heightMm_ = pageInfo_.Height;
  nativeWidth_ = renderWidth_ = pageInfo_.NativeWidth;
  nativeHeight_ = renderHeight_ = pageInfo_.NativeHeight;
  code_ = pageInfo_.PixelFormat;
}

TPluginPage::~TPluginPage() {
  linkAreas_.Clear();
  if (handle_ && document_ && document_->Plugin()) document_->Plugin()->DestroyPage(handle_);
  handle_ = 0;
}

TPluginLogScope TPluginPage::LogScope() const {
  return TPluginLogScope(document_ ? document_->FileName() : std::string());
}

TPlugin* TPluginPage::LivePlugin() const {
  if (!document_ || !document_->Handle() || !handle_) return nullptr;
  return document_->Plugin();
}

TPluginLinkAreaList& TPluginPage::GetLinkAreas() {
  linkAreasLoaded_ = true;
  return linkAreas_;
}

int TPluginPage::SetPixelFormat(int Code) {
  TPlugin* plugin = LivePlugin();
  if (!plugin) return 0;
  const int answer = plugin->SetPagePixelFormat(handle_, Code);
  if (answer != 0) code_ = Code;
  return answer;
}

bool TPluginPage::SetSize(int& Width, int& Height, int Mode) {
  TPlugin* plugin = LivePlugin();
  if (!plugin) return false;
  const TPluginLogScope logScope = LogScope();
  std::int32_t w = Width, h = Height;
  if (!plugin->SetPageSize(handle_, &w, &h, Mode)) return false;
  // A size the plug-in cannot render at is no answer.
  if (w < 1 || h < 1) return false;
  Width = renderWidth_ = w;
  Height = renderHeight_ = h;
  return true;
}

int TPluginPage::Render(TCanvas& Canvas, const TRect& Rect) {
  const TRect r{std::max(Rect.Left, 0), std::max(Rect.Top, 0), std::min(Rect.Right, renderWidth_),
                std::min(Rect.Bottom, renderHeight_)};
  if (r.IsEmpty() || !LivePlugin()) return 0;
  const TPluginLogScope logScope = LogScope();
  if (code_ == FOLIO_PIXELS_DEVICE) return RenderOnDevice(Canvas, r);
  return RenderThroughBitmap(Canvas, r);
}

int TPluginPage::RenderOnDevice(TCanvas& Canvas, const TRect& r) {
  TBlitRec target = BlitTarget(r);
  QPainter painter(&Canvas.Bitmap().Image());
  target.Device = &painter;
  return LivePlugin()->Blit(handle_, &target);
}

int TPluginPage::RenderThroughBitmap(TCanvas& Canvas, TRect r) {
  TPixelFormat format;
  if (!BitmapFormat(code_, format)) return 0;
  if (format == TPixelFormat::pf1bit) {
    // Whole bytes from the left; on the right only as far as the page goes, as
    // the plug-in renders nothing beyond it.
    r.Left -= r.Left % 8;
    r.Right = std::min((r.Right + 7) / 8 * 8, renderWidth_);
  }
  TBitmap bitmap(r.Width(), r.Height());
  bitmap.SetPixelFormat(format, format == TPixelFormat::pf1bit   ? MonoPalette()
                                : format == TPixelFormat::pf8bit ? GreyPalette()
                                                                 : std::vector<std::uint32_t>{});
  TBlitRec target = BlitTarget(r);
  target.Bits = bitmap.RawScanLine(0);
  target.Stride = bitmap.Height() > 1 ? bitmap.BytesPerLine() : 0;
  target.BitsSize = bitmap.BytesPerLine() * bitmap.Height();
  const int result = LivePlugin()->Blit(handle_, &target);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  Canvas.Draw(r.Left, r.Top, bitmap);
  return result;
}

bool TPluginPage::CalcZoom(int& Zoom, int& Width, int& Height) {
  const double physW = ScreenScale(HORZRES, HORZSIZE) * widthMm_;
  const double physH = ScreenScale(VERTRES, VERTSIZE) * heightMm_;
  bool result;
  switch (Zoom) {
    case -3:
      result = SetSize(Width, Height, FOLIO_SIZE_FIT_WIDTH);
      break;
    case -2:
      result = SetSize(Width, Height, FOLIO_SIZE_FIT_HEIGHT);
      break;
    case -1:
      result = SetSize(Width, Height,
                       Width / physW >= Height / physH ? FOLIO_SIZE_FIT_HEIGHT : FOLIO_SIZE_FIT_WIDTH);
      break;
    default:
      Width = RoundHalfEven(Zoom * physW / 100);
      Height = RoundHalfEven(Zoom * physH / 100);
      result = SetSize(Width, Height, FOLIO_SIZE_FIT_WIDTH);
  }
  Zoom = RoundHalfEven(Width / physW * 100);
  return result;
}

bool TPluginPage::GetTextBounds(TPluginRect& Bounds) {
  int w0 = renderWidth_, h0 = renderHeight_;
  int tw = kThumbnailWidth, th = RoundHalfEven(double(kThumbnailWidth) * h0 / w0);
  const auto restore = [&] { SetSize(w0, h0, FOLIO_SIZE_EXACT); };
  // Without the thumbnail size the render below would look at the wrong picture.
  if (!SetSize(tw, th, FOLIO_SIZE_FIT_WIDTH) || tw < 3 || th < 3) {
    restore();
    return false;
  }
  TBitmap thumbnail(tw, th);
  const int rendered = Render(thumbnail.Canvas(), ::Rect(0, 0, tw, th));
  restore();
  if (rendered == 0) return false;
  TRect r;
  FindContentRect(thumbnail, r);
  const double sx = widthMm_ / tw, sy = heightMm_ / th;
  Bounds = {r.Left * sx, r.Top * sy, r.Right * sx, r.Bottom * sy};
  return true;
}

const std::vector<std::uint32_t>& GreyPalette() {
  static const std::vector<std::uint32_t> palette = [] {
    std::vector<std::uint32_t> entries;
    for (std::uint32_t i = 0; i < 256; ++i) entries.push_back(0x010101u * (255 - i));
    return entries;
  }();
  return palette;
}

const std::vector<std::uint32_t>& MonoPalette() {
  static const std::vector<std::uint32_t> palette{0xFFFFFFu, 0x000000u};
  return palette;
}

bool SimilarColor(std::uint32_t A, std::uint32_t B) {
  const auto d = [&](int shift) { return std::abs(int((A >> shift) & 0xFF) - int((B >> shift) & 0xFF)); };
  return 5 * d(0) + 9 * d(8) + 2 * d(16) <= 48;
}

void FindContentRect(const TBitmap& Bitmap, TRect& R) {
  R = Rect(0, 0, Bitmap.Width() - 1, Bitmap.Height() - 1);
  ShrinkToContent(Bitmap, R);
}

namespace {

// The first row from `from` towards `limit` (inclusive, moving by step) that
// differs anywhere in x0..x1 from the reference row; `limit` when none does.
int FirstDifferingRow(const TBitmap& b, int reference, int from, int limit, int step, int x0, int x1) {
  for (int y = from; step > 0 ? y <= limit : y >= limit; y += step) {
    for (int x = x0; x <= x1; ++x) {
      if (!SimilarColor(b.Pixel(x, y), b.Pixel(x, reference))) return y;
    }
  }
  return limit;
}

// The last column from `from` (moving by step, short of `limit`) still like the reference column.
int EdgeOfRow(const TBitmap& b, int y, int reference, int from, int limit, int step) {
  int x = from;
  while ((step > 0 ? x < limit : x > limit) && SimilarColor(b.Pixel(x, y), b.Pixel(reference, y))) x += step;
  return x;
}

}  // namespace

void ShrinkToContent(const TBitmap& Bitmap, TRect& R) {
  if (Bitmap.Width() < 3 || Bitmap.Height() < 3 || R.Left >= R.Right || R.Top >= R.Bottom) return;
  R = Rect(std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Bitmap.Width()),
           std::min(R.Bottom, Bitmap.Height()));
  const int x0 = R.Left, y0 = R.Top, x1 = R.Right - 1, y1 = R.Bottom - 1;
  int left = x0, right = x1, top = y0, bottom = y1;
  if (Bitmap.PixelFormat() == TPixelFormat::pf32bit) {
    top = FirstDifferingRow(Bitmap, y0, y0 + 1, y1, 1, x0, x1);
    bottom = FirstDifferingRow(Bitmap, y1, y1 - 1, top, -1, x0, x1);
    left = x1;
    right = x0;
    for (int y = top; y <= bottom; ++y) {
      left = EdgeOfRow(Bitmap, y, x0, x0 + 1, left, 1);
      right = EdgeOfRow(Bitmap, y, x1, x1 - 1, right, -1);
    }
    if (left > right) left = right = (x0 + x1) / 2;
    if (top == y1) top = bottom = (y0 + y1) / 2;
    --left;
    ++right;
    --top;
    ++bottom;
  }
  left = std::clamp(left, x0, x1);
  right = std::clamp(right, x0, x1);
  top = std::clamp(top, y0, y1);
  bottom = std::clamp(bottom, y0, y1);
  R = Rect(left, top, right + 1, bottom + 1);
}
