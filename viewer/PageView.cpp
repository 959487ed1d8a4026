#include "viewer/PageView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

// A page without one tells the size of an A4 sheet.
constexpr TPluginRect kA4{0, 0, 210, 297};
TPluginDocument* OpenInFileManager(const std::string& name) {
  return FileManager ? FileManager->Open(name) : nullptr;
}

// One axis of the constrained placement: a page larger than the client leaves
// no gap beside it, a smaller one is centred or kept inside.
int ConstrainAxis(int pos, int size, int lo, int hi, bool centre) {
  const int extent = hi - lo;
  if (size > extent) {
    if (pos > lo && pos + size > hi) pos = lo;
    if (pos < lo && pos + size < hi) pos = hi - size;
    return pos;
  }
  if (centre) return lo + (extent - size) / 2;
  pos = std::max(pos, lo);
  return pos + size > hi ? hi - size : pos;
}

// Pixels per millimetre of the screen across.
double ScreenPixelsPerMm() {
  const int res = ScreenDeviceCaps(HORZRES), size = ScreenDeviceCaps(HORZSIZE);
  return res > 0 && size > 0 ? double(res) / size : 96 / 25.4;
}

}  // namespace

void NormalizeRect(TRect& r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
}

TPluginPageView::TPluginPageView(QObject* AOwner) : TCustomControl(AOwner) {
  DoubleBuffered = true;
  // Every paint covers its whole rectangle, so Qt need not clear it, nor paint
  // the parent beneath it, first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  SetBounds(0, 0, 100, 100);
}

TPluginPageView::~TPluginPageView() {
  // The file manager frees its documents and their pages at shutdown; after
  // that there is nothing left to give back.
  if (!FileManager) return;
  Deactivate();
  HoldDocument(nullptr);
}

// --- Activation ---

void TPluginPageView::SetActive(bool value) {
  if (value && !active_) Activate();
  if (!value && active_) Deactivate();
}

void TPluginPageView::Activate() {
  TPluginDocument* doc = OpenInFileManager(fileName_);
  if (!doc) return;
  HoldDocument(doc);
  if (pageIndex_ < 1 || pageIndex_ > doc->PageCount()) return;
  page_ = doc->GetPage(pageIndex_);
  if (!page_) {
    if (doc->InUse() < 1) FileManager->CloseDocument(fileName_);
    return;
  }
  // Active from here on, so a failure below still gives the page back.
  active_ = true;
  page_->SetPixelFormat(page_->PageInfo().PixelFormat);
  SetZoom(100);
  textBoundsValid_ = false;
  InvalidateBuffer();
}

void TPluginPageView::Deactivate() {
  if (!active_) return;
  HideLinkHighlight();
  pressedList_.Clear();
  pressedOnLink_ = false;
  // The page goes back to the document that made it, whatever the file manager holds now.
  if (page_ && page_->Document()) page_->Document()->ReleasePage(page_);
  page_ = nullptr;
  active_ = false;
  textBoundsValid_ = false;
  InvalidateBuffer();
}

void TPluginPageView::HoldDocument(TPluginDocument* doc) {
  if (doc) doc->AddRef();
  TPluginDocument* previous = document_;
  document_ = doc;
  if (previous) previous->Release();
}

void TPluginPageView::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  const bool wasActive = active_;
  SetActive(false);
  fileName_ = name;
  SetActive(wasActive);
  textBoundsValid_ = false;
  InvalidateBuffer();
}

void TPluginPageView::SetPageIndex(int n) {
  if (n == pageIndex_) return;
  const bool wasActive = active_;
  // The page goes back before the document reference changes: dropping the
  // last reference frees the document together with its pages.
  SetActive(false);
  TPluginDocument* doc = OpenInFileManager(fileName_);
  HoldDocument(doc);
  pageIndex_ = n;
  textBoundsValid_ = false;
  SetActive(wasActive && doc != nullptr);
}

void TPluginPageView::SetPageName(const std::string& name) {
  if (name == pageName_) return;
  const bool wasActive = active_;
  SetActive(false);
  pageName_ = name;
  textBoundsValid_ = false;
  SetActive(wasActive);
}

int TPluginPageView::PageCount() const {
  return page_ && document_ ? document_->PageCount() : 0;
}

bool TPluginPageView::NativePageSize(int& width, int& height) const {
  if (!page_ || page_->NativeWidth() == 0 || page_->NativeHeight() == 0) return false;
  width = page_->NativeWidth();
  height = page_->NativeHeight();
  return true;
}

// --- Zoom and placement ---

TRect TPluginPageView::ParentClient() const {
  return Parent() ? Parent()->ClientRect() : ClientRect();
}

void TPluginPageView::SetZoom(int value) {
  if (!page_) return;
  SaveCentre();
  const TRect client = ParentClient();
  const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
  int w = client.Width(), h = client.Height();
  if (!page_->CalcZoom(value, w, h) || !AcceptRenderSize(oldW, oldH)) return;
  RestoreCentre(w, h);
  zoom_ = value;
  InvalidateBuffer();
}

bool TPluginPageView::AcceptRenderSize(int oldW, int oldH) {
  // Only the part in the window is ever rendered and kept, so the page's size
  // costs no memory: the limit is the largest control.
  if (page_->RenderWidth() <= QWIDGETSIZE_MAX && page_->RenderHeight() <= QWIDGETSIZE_MAX) return true;
  page_->SetSize(oldW, oldH, FOLIO_SIZE_EXACT);
  return false;
}

void TPluginPageView::SaveCentre() {
  const TRect client = ParentClient();
  centreRatioX_ = Width() > 0 ? (std::abs(Left()) + client.Width() / 2) / double(Width()) : 0.5;
  centreRatioY_ = Height() > 0 ? (std::abs(Top()) + client.Height() / 2) / double(Height()) : 0.5;
}

void TPluginPageView::RestoreCentre(int w, int h) {
  const TRect client = ParentClient();
  SetBoundsConstrained(RoundHalfEven(client.Width() / 2.0 - w * centreRatioX_),
                       RoundHalfEven(client.Height() / 2.0 - h * centreRatioY_), w, h);
}

void TPluginPageView::ZoomFromSize() {
  if (!page_) return;
  zoom_ = RoundHalfEven(page_->RenderWidth() * 100 / (ScreenPixelsPerMm() * page_->WidthMm()));
}

bool TPluginPageView::RenderSizeIsViewSize() const {
  return page_->RenderWidth() == Width() && page_->RenderHeight() == Height();
}

void TPluginPageView::ApplyFit(int left, int top) {
  const bool same = RenderSizeIsViewSize();
  SetBoundsConstrained(left, top, page_->RenderWidth(), page_->RenderHeight());
  if (same) return;
  ZoomFromSize();
  InvalidateBuffer();
}

void TPluginPageView::FitClient() {
  if (!page_) return;
  const TRect client = ParentClient();
  const int cw = client.Width(), ch = client.Height();
  int aw = cw, ah = ch;
  const bool aFits = page_->SetSize(aw, ah, FOLIO_SIZE_FIT_WIDTH) && ah <= ch;
  int bw = cw, bh = ch;
  const bool bFits = page_->SetSize(bw, bh, FOLIO_SIZE_FIT_HEIGHT) && bw <= cw;
  // Equal areas go to the height-given size, which the page holds already.
  if (aFits && (!bFits || std::int64_t(aw) * ah > std::int64_t(bw) * bh)) {
    aw = cw;
    ah = ch;
    page_->SetSize(aw, ah, FOLIO_SIZE_FIT_WIDTH);
  }
  ApplyFit(client.Left, client.Top);
}

void TPluginPageView::FitWidth(int W) {
  if (!page_) {
    SetBounds(Left(), Top(), W, 1);
    return;
  }
  const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
  int w = W, h = 1;
  page_->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH);
  if (AcceptRenderSize(oldW, oldH)) ApplyFit(ParentClient().Left, Top());
}

void TPluginPageView::FitHeight(int H) {
  if (!page_) return;
  const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
  int w = 1, h = H;
  page_->SetSize(w, h, FOLIO_SIZE_FIT_HEIGHT);
  if (AcceptRenderSize(oldW, oldH)) ApplyFit(Left(), ParentClient().Top);
}

void TPluginPageView::SetPageBounds(int left, int top, int w, int h) {
  if (page_ && (w != Width() || h != Height())) {
    const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
    if (page_->SetSize(w, h, FOLIO_SIZE_EXACT)) AcceptRenderSize(oldW, oldH);
    // The view always takes the size the page renders at, refused or not.
    w = page_->RenderWidth();
    h = page_->RenderHeight();
    bufferValid_ = false;
    bufferFailed_ = false;
  }
  SetBoundsConstrained(left, top, w, h);
}

void TPluginPageView::Reposition() {
  SetBoundsConstrained(Left(), Top(), Width(), Height());
}

void TPluginPageView::SetBoundsConstrained(int L, int T, int W, int H) {
  if (!AllowConstains) {
    SetBounds(L, T, W, H);
    return;
  }
  if (!Parent()) return;
  const TRect r = Parent()->ClientRect();
  SetBounds(ConstrainAxis(L, W, r.Left, r.Right, AllowCenter),
            ConstrainAxis(T, H, r.Top, r.Bottom, AllowCenter), W, H);
}

void TPluginPageView::SetBounds(int left, int top, int width, int height) {
  // Qt moves the pixels of an opaque control on the screen along with it,
  // which under X keeps a copy of the window on the server: the first pan
  // after each zoom uploaded it whole. Opaque only while painting, the view
  // paints its new place from its buffer instead.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  TCustomControl::SetBounds(left, top, width, height);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
}

double TPluginPageView::PageWidth() const {
  return page_ ? page_->WidthMm() : kA4.Right;
}

double TPluginPageView::PageHeight() const {
  return page_ ? page_->HeightMm() : kA4.Bottom;
}

// --- Text ---

TPluginRect TPluginPageView::GetTextBounds() {
  if (!page_) return kA4;
  if (!textBoundsValid_) textBoundsValid_ = page_->GetTextBounds(textBounds_);
  return textBounds_;
}

TRect TPluginPageView::GetTextRangeRect() {
  if (!page_) return ClientRect();
  const TPluginRect b = GetTextBounds();
  const double sx = Width() / page_->WidthMm(), sy = Height() / page_->HeightMm();
  return ::Rect(std::max(int(b.Left * sx), 0), std::max(int(b.Top * sy), 0),
                std::min(int(std::ceil(b.Right * sx)), Width()),
                std::min(int(std::ceil(b.Bottom * sy)), Height()));
}

void TPluginPageView::SetLayer(int layer) {
  if (page_) page_->SetLayer(layer);
}

int TPluginPageView::GetLayer() const {
  return page_ ? page_->GetLayer() : 0;
}

void TPluginPageView::ClearSelection() {
  if (page_) page_->ClearSelection();
}

void TPluginPageView::SelectRange(int from, int to) {
  if (page_) page_->SelectRange(from, to);
}

void TPluginPageView::FlagRange(int from, int to) {
  if (page_) page_->FlagRange(from, to);
}

std::string TPluginPageView::GetPageText() const {
  return page_ ? page_->GetText() : std::string();
}

int TPluginPageView::GetTextLength() const {
  return page_ ? page_->GetTextLength() : 0;
}

std::string TPluginPageView::GetSelectedText() const {
  return page_ ? page_->GetSelectedText() : std::string();
}

void TPluginPageView::RefreshIfText() {
  if (GetTextLength() > 0) InvalidateBuffer();
}

void TPluginPageView::CopyText(const std::string& text) {
  CopyTextInRussianLayout(text);
}

void TPluginPageView::CopyTextUnicode(const std::string& text) {
  SetClipboardText(text);
}
