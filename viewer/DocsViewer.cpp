#include "viewer/DocsViewer.h"

#include <algorithm>

#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginGlobals.h"

int ZoomInStep(int zoom) {
  return std::max(RoundHalfEven(zoom * kZoomStep), zoom + 1);
}

int ZoomOutStep(int zoom) {
  return std::max(std::min(RoundHalfEven(zoom / kZoomStep), zoom - 1), kMinStepZoom);
}

TPluginRect TextFitBounds(const TPluginRect& text, double pageWidth) {
  // The text bounds come from a coarse picture of the page and may cut into
  // the glyphs; the margin keeps the first line and the edges whole.
  const double margin = pageWidth * kTextFitMargin;
  return {text.Left - margin, text.Top - margin, text.Right + margin, text.Bottom + margin};
}

TPluginDocsViewer::TPluginDocsViewer(TWinControl* parent, QObject* owner) : TScrollBox(owner) {
  SetParent(parent);
  SetAlign(alClient);
  SetAutoScroll(false);
  SetBorderStyle(bsNone);
  view_ = new TPluginPageView(nullptr);
  view_->OnLinkExecute = [this](TObject* sender, TPluginLinkInfo* info) { DoLinkExecute(sender, info); };
  view_->SetBounds(0, 0, 100, 100);
  view_->SetParent(this);
  view_->PluginsPath = PluginsFolder;
  view_->SetZoom(100);
}

TPluginDocsViewer::~TPluginDocsViewer() {
  // The view gives its page back before the box's children go.
  delete view_;
}

void TPluginDocsViewer::DoLinkExecute(TObject* Sender, TPluginLinkInfo* LinkInfo) {
  if (OnLinkExecute) OnLinkExecute(Sender, LinkInfo);
}

void TPluginDocsViewer::OpenPage(const std::string& file, int n) {
  const int zoom = view_->Zoom();
  view_->SetFileName(file);
  view_->SetPageIndex(n);
  view_->SetActive(true);
  view_->SetBuffered(true);
  pageCount_ = view_->PageCount();
  if (!view_->Active()) return;
  if (zoomMode_ == zmNormal) view_->SetZoom(zoom);
  showTextTop_ = true;
  Resize();
}

int TPluginDocsViewer::Zoom() const {
  return view_ ? view_->Zoom() : 100;
}

void TPluginDocsViewer::SetZoom(int value) {
  if (!view_) return;
  view_->SetZoom(value);
  zoomMode_ = zmNormal;
}

void TPluginDocsViewer::SetZoomMode(TZoomMode mode) {
  if (mode == zoomMode_) return;
  // The zoom shown then matches what the fit mode produced.
  if (mode == zmNormal && view_) view_->ZoomFromSize();
  zoomMode_ = mode;
  Resize();
}

void TPluginDocsViewer::FitText() {
  showTextTop_ = true;
  if (zoomMode_ == zmTextWidth) Resize();
  SetZoomMode(zmTextWidth);
}

void TPluginDocsViewer::StepZoom(int value) {
  if (!view_ || !Parent()) return;
  SetZoomMode(zmNormal);
  view_->SetZoom(value);
}

void TPluginDocsViewer::ZoomIn() {
  StepZoom(ZoomInStep(Zoom()));
}

void TPluginDocsViewer::ZoomOut() {
  StepZoom(ZoomOutStep(Zoom()));
}

void TPluginDocsViewer::SetZoomNormal(int value) {
  StepZoom(value);
}

void TPluginDocsViewer::SetMouseMode(TMouseMode mode) {
  if (!view_) return;
  mouseMode_ = mode;
  view_->RestoreMouseModes();
  view_->AllowPanngin = mode == mmPanning;
  view_->AllowMouseSelect = mode == mmSelect;
}

void TPluginDocsViewer::Resize() {
  TScrollBox::Resize();
  if (!view_) return;
  switch (zoomMode_) {
    case zmNormal:
      view_->Reposition();
      break;
    case zmFitClient:
      DoFitClient();
      break;
    case zmFitWidth:
      DoFitWidth();
      break;
    case zmRealSize:
      SetZoom(100);
      zoomMode_ = zmRealSize;
      break;
    case zmTextWidth:
      DoFitTextWidth();
      break;
    case zmTextBounds:
      // Reserved: the text bounds are known, but nothing is fitted to them yet.
      break;
  }
  showTextTop_ = false;
}

void TPluginDocsViewer::DoFitClient() {
  if (Parent()) view_->FitClient();
}

void TPluginDocsViewer::DoFitWidth() {
  if (Parent()) view_->FitWidth(Parent()->ClientWidth());
}

void TPluginDocsViewer::DoFitTextWidth() {
  if (!Parent() || !view_->Active()) return;
  const int cw = ClientWidth(), ch = ClientHeight();
  if (cw < 3) return;
  const TPluginRect bounds = TextFitBounds(view_->GetTextBounds(), view_->PageWidth());
  const double tw = bounds.Right - bounds.Left;
  // A page without a text width has nothing to fit: it stays where it is.
  if (!(tw > 0)) return;
  const TRect client = ClientRect();
  const int left = client.Left - RoundHalfEven(cw * bounds.Left / tw);
  const int width = RoundHalfEven(view_->PageWidth() * cw / tw);
  const int height = RoundHalfEven(view_->PageHeight() * cw / tw);
  int top = view_->Top();
  if (ch > 2) {
    const int textTop = RoundHalfEven(cw * bounds.Top / tw);
    // On the same page only a text top below the client's top edge is
    // brought up, so a view scrolled down into the text keeps its place.
    if (showTextTop_ || client.Top < top + textTop) top = client.Top - textTop;
  }
  view_->SetPageBounds(left, top, width, height);
}
