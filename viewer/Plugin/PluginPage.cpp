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

// Bytes per row of a device-independent bitmap: whole 32-bit words.
int RowStride(int code, int width) {
  const int bits = code == FOLIO_PIXELS_MONO ? 1 : code == FOLIO_PIXELS_GREY ? 8 : 24;
  return (width * bits + 31) / 32 * 4;
}

// Pixel x of a row the plug-in wrote in code, as an opaque 32-bit word.
std::uint32_t RowPixel(int code, const std::uint8_t* row, int x) {
  switch (code) {
    case FOLIO_PIXELS_MONO:
      return MonoPalette()[(row[x / 8] >> (7 - x % 8)) & 1] | 0xFF000000u;
    case FOLIO_PIXELS_GREY:
      return GreyPalette()[row[x]] | 0xFF000000u;
    default:
      return 0xFF000000u | std::uint32_t(row[3 * x + 2]) << 16 | std::uint32_t(row[3 * x + 1]) << 8 |
             row[3 * x];
  }
}

// The canvas pixels that show page rectangle r, r clipped to the canvas.
TRect OnCanvas(TCanvas& canvas, const TRect& r, const TPoint& origin) {
  const TRect canvasArea = Bounds(origin.X, origin.Y, canvas.Bitmap().Width(), canvas.Bitmap().Height());
  return IntersectRect(r, canvasArea).Offset(-origin.X, -origin.Y);
}

// What a failed render leaves: white, as a fresh bitmap is.
void FillWhite(TBitmap& bitmap, const TRect& area) {
  for (int y = area.Top; y < area.Bottom; ++y)
    std::fill_n(bitmap.ScanLine(y) + area.Left, area.Width(), 0xFFFFFFFFu);
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

int TPluginPage::Render(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin) {
  const TRect r{std::max(Rect.Left, 0), std::max(Rect.Top, 0), std::min(Rect.Right, renderWidth_),
                std::min(Rect.Bottom, renderHeight_)};
  if (r.IsEmpty() || !LivePlugin()) return 0;
  const TPluginLogScope logScope = LogScope();
  switch (code_) {
    case FOLIO_PIXELS_DEVICE:
      return RenderOnDevice(Canvas, r, Origin);
    case FOLIO_PIXELS_RGBX:
      return RenderIntoCanvas(Canvas, r, Origin);
    case FOLIO_PIXELS_MONO:
    case FOLIO_PIXELS_GREY:
    case FOLIO_PIXELS_RGB:
      return RenderThroughRows(Canvas, r, Origin);
    default:
      return 0;
  }
}

int TPluginPage::RenderOnDevice(TCanvas& Canvas, const TRect& r, const TPoint& origin) {
  TBlitRec target = BlitTarget(r);
  QPainter painter(&Canvas.Bitmap().Image());
  painter.translate(-origin.X, -origin.Y);
  target.Device = &painter;
  return LivePlugin()->Blit(handle_, &target);
}

// 32-bit rows are the canvas's own: the plug-in writes into them, and only the
// fourth byte, which the format leaves unused, is made opaque afterwards.
int TPluginPage::RenderIntoCanvas(TCanvas& Canvas, const TRect& r, const TPoint& origin) {
  TBitmap& bitmap = Canvas.Bitmap();
  const TRect area = OnCanvas(Canvas, r, origin);
  if (area.IsEmpty()) return 0;
  TBlitRec target = BlitTarget(area.Offset(origin.X, origin.Y));
  target.Bits = reinterpret_cast<std::uint8_t*>(bitmap.ScanLine(area.Top) + area.Left);
  target.Stride = area.Height() > 1 ? bitmap.BytesPerLine() : 0;
  target.BitsSize = bitmap.BytesPerLine() * (area.Height() - 1) + 4 * area.Width();
  const int result = LivePlugin()->Blit(handle_, &target);
  if (result == 0) {
    FillWhite(bitmap, area);
    return result;
  }
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint32_t* row = bitmap.ScanLine(y) + area.Left;
    for (int x = 0; x < area.Width(); ++x) row[x] |= 0xFF000000u;
  }
  return result;
}

int TPluginPage::RenderThroughRows(TCanvas& Canvas, TRect r, const TPoint& origin) {
  if (code_ == FOLIO_PIXELS_MONO) {
    // Whole bytes from the left; on the right only as far as the page goes, as
    // the plug-in renders nothing beyond it.
    r.Left -= r.Left % 8;
    r.Right = std::min((r.Right + 7) / 8 * 8, renderWidth_);
  }
  const int stride = RowStride(code_, r.Width());
  rows_.resize(std::size_t(stride) * std::size_t(r.Height()));
  TBlitRec target = BlitTarget(r);
  target.Bits = rows_.data();
  target.Stride = r.Height() > 1 ? stride : 0;
  target.BitsSize = std::int32_t(rows_.size());
  const int result = LivePlugin()->Blit(handle_, &target);
  TBitmap& bitmap = Canvas.Bitmap();
  const TRect area = OnCanvas(Canvas, r, origin);
  if (result == 0) {
    FillWhite(bitmap, area);
    return result;
  }
  // Canvas pixel (x, y) shows page pixel (x + origin.X, y + origin.Y).
  for (int y = area.Top; y < area.Bottom; ++y) {
    const std::uint8_t* source = rows_.data() + std::size_t(stride) * std::size_t(y + origin.Y - r.Top);
    std::uint32_t* row = bitmap.ScanLine(y);
    for (int x = area.Left; x < area.Right; ++x) row[x] = RowPixel(code_, source, x + origin.X - r.Left);
  }
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
