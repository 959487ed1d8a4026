#include <QEvent>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/StrUtils.h"
#include "viewer/PageView.h"
#include "viewer/Plugin/PluginPage2.h"

// Link outlines, the rubber band, and the mouse: selecting text, following links, panning.

// --- Link outlines and the rubber band ---

TRect TPluginPageView::LinkAreaPixels(TPluginLinkArea& area) {
  const double sx = page_->RenderWidth() / page_->WidthMm(), sy = page_->RenderHeight() / page_->HeightMm();
  const TPluginRect b = area.GetPolygon().GetBounds();
  return ::Rect(RoundHalfEven(b.Left * sx), RoundHalfEven(b.Top * sy), RoundHalfEven(b.Right * sx) + 1,
                RoundHalfEven(b.Bottom * sy) + 1);
}

void TPluginPageView::DrawLinkArea(TCanvas& Canvas, TPluginLinkArea& area, const TPoint& origin) {
  const double sx = page_->RenderWidth() / page_->WidthMm(), sy = page_->RenderHeight() / page_->HeightMm();
  Canvas.Pen = TPen{clBlue, 1, TPenStyle::psSolid, TPenMode::pmCopy};
  Canvas.Brush.Style = TBrushStyle::bsClear;
  Canvas.Polygon(area.GetPolygon().ToPoints(sx, sy, -origin.X, -origin.Y));
}

void TPluginPageView::DrawLinkHighlights(TCanvas& Canvas, const TPoint& origin) {
  if (!page_) return;
  for (int i = 0; i < outlineList_.Count(); ++i) DrawLinkArea(Canvas, *outlineList_.Items(i), origin);
}

void TPluginPageView::InvalidateOutlines() {
  if (!page_) return;
  for (int i = 0; i < outlineList_.Count(); ++i) update(ToQRect(LinkAreaPixels(*outlineList_.Items(i))));
}

void TPluginPageView::HideLinkHighlight() {
  if (outlineList_.Count() > 0) InvalidateOutlines();
  hoverList_.Clear();
  outlineList_.Clear();
}

TRect TPluginPageView::BandPixels(TRect band) const {
  NormalizeRect(band);
  return ::Rect(band.Left, band.Top, band.Right + 1, band.Bottom + 1);
}

void TPluginPageView::DrawRubberBand(TCanvas& Canvas, const TPoint& origin) {
  if (!mouseSelecting_) return;
  const TRect r = BandPixels(rubberBand_).Offset(-origin.X, -origin.Y);
  // Without a pen the figure leaves out its last column and row: one more of each.
  Canvas.Pen = TPen{clBlack, 1, TPenStyle::psClear, TPenMode::pmNot};
  Canvas.Brush.Style = TBrushStyle::bsSolid;
  Canvas.Rectangle(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
}

void TPluginPageView::UpdateRubberBand(const TRect& before, const TRect& now) {
  update(ToQRect(BandPixels(before)));
  update(ToQRect(BandPixels(now)));
}

// --- Mouse ---

void TPluginPageView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  RestoreMouseModes();
  ctrlSwapped_ = (shift & ssCtrl) != 0;
  if (ctrlSwapped_) {
    AllowPanngin = !AllowPanngin;
    AllowMouseSelect = !AllowMouseSelect;
  }
  if (button != mbLeft) return;
  if (AllowPanngin) {
    panning_ = true;
    panGrab_ = Point(x, y);
    SetCursor(Qt::ClosedHandCursor);
  }
  if (AllowMouseSelect) {
    bandFresh_ = true;
    rubberBand_ = ::Rect(x, y, x, y);
    mouseSelecting_ = true;
    UpdateRubberBand(rubberBand_, rubberBand_);
  }
  if (!executingLink_) {
    pressedList_.Assign(outlineList_);
    pressedOnLink_ = pressedList_.Count() > 0;
  }
}

void TPluginPageView::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (panning_) SetBoundsConstrained(Left() + x - panGrab_.X, Top() + y - panGrab_.Y, Width(), Height());
  if (AllowMouseSelect && mouseSelecting_) {
    SetCursor(Qt::IBeamCursor);
    if (bandFresh_) {
      HideLinkHighlight();
      bandFresh_ = false;
    }
    const TRect before = rubberBand_;
    rubberBand_.Right = x;
    rubberBand_.Bottom = y;
    UpdateRubberBand(before, rubberBand_);
  }
  if (!mouseSelecting_) TrackLinks(x, y);
}

void TPluginPageView::TrackLinks(int x, int y) {
  try {
    if (!page_)
      hoverList_.Clear();
    else if (pressedOnLink_ && PageAnyHit(*page_, x, y, pressedList_))
      hoverList_.Assign(pressedList_);
    else if (pressedOnLink_)
      hoverList_.Clear();
    else
      PageHitAll(*page_, x, y, &hoverList_);
    if (hoverList_.SameAs(outlineList_)) return;
    InvalidateOutlines();
    outlineList_.Assign(hoverList_);
    InvalidateOutlines();
    SetCursor(outlineList_.Count() > 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  } catch (const std::exception&) {
    // Hover tracking only decorates; a failing hit test is a miss.
  }
}

void TPluginPageView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  bool isClick = true;
  if (button == mbLeft && AllowPanngin) {
    panning_ = false;
    SetCursor(Qt::ArrowCursor);
  }
  if (button == mbLeft && AllowMouseSelect && mouseSelecting_) FinishSelection(shift, x, y, isClick);
  QPointer<TPluginPageView> self(this);
  if (button == mbLeft && !executingLink_) {
    if (pressedOnLink_ && OnLinkExecute && page_ && isClick) ExecutePressedLink(x, y);
    if (!self) return;
    pressedList_.Clear();
    pressedOnLink_ = false;
  }
  RestoreMouseModes();
}

void TPluginPageView::RestoreMouseModes() {
  if (!ctrlSwapped_) return;
  ctrlSwapped_ = false;
  AllowMouseSelect = !AllowMouseSelect;
  AllowPanngin = !AllowPanngin;
}

bool TPluginPageView::event(QEvent* e) {
  switch (e->type()) {
    // Under X the popup menu opens at the right press and takes its release.
    case QEvent::ContextMenu:
    case QEvent::UngrabMouse:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
      CancelPress();
      break;
    default:
      break;
  }
  return TCustomControl::event(e);
}

void TPluginPageView::CancelPress() {
  if (mouseSelecting_) {
    update(ToQRect(BandPixels(rubberBand_)));
    mouseSelecting_ = false;
  }
  if (panning_) {
    panning_ = false;
    SetCursor(Qt::ArrowCursor);
  }
  pressedList_.Clear();
  pressedOnLink_ = false;
  RestoreMouseModes();
}

void TPluginPageView::FinishSelection(TShiftState shift, int x, int y, bool& isClick) {
  update(ToQRect(BandPixels(rubberBand_)));
  rubberBand_.Right = x;
  rubberBand_.Bottom = y;
  mouseSelecting_ = false;
  TRect band = rubberBand_;
  NormalizeRect(band);
  if (!page_) return;
  if (!(shift & ssShift)) page_->ClearSelection();
  page_->SelectRect(band);
  RefreshIfText();
  // A plain click selects nothing: the clipboard keeps what the user put there.
  const std::string selected = GetSelectedText();
  if (!selected.empty()) CopyText(selected);
  SetCursor(Qt::ArrowCursor);
  isClick = band.Left == band.Right && band.Top == band.Bottom;
}

void TPluginPageView::ExecutePressedLink(int x, int y) {
  SetCursor(Qt::ArrowCursor);
  if (!PageAnyHit(*page_, x, y, pressedList_)) return;
  // The handler may change the page, which frees its areas: it gets copies.
  std::vector<TPluginLinkReader> links;
  for (int i = 0; i < pressedList_.Count(); ++i) links.push_back(*pressedList_.Items(i)->Reader);
  QPointer<TPluginPageView> self(this);
  executingLink_ = true;
  for (TPluginLinkReader& link : links) {
    try {
      OnLinkExecute(this, &link);
    } catch (const std::exception& e) {
      // The view stays usable; the user still learns why nothing happened.
      Application->ShowException(e.what(), true);
    }
    if (!self) return;
  }
  executingLink_ = false;
}
