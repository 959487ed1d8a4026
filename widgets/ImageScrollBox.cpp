#include "widgets/ImageScrollBox.h"

#include "platform/StrUtils.h"
#include "widgets/ImageScrollBar.h"

TImageScrollBox::TImageScrollBox(QObject* owner) : TPanel(owner) {
  SetBevelOuter(bvNone);
  SetCaption("");
  SetTabStop(true);
  SetParentColor(true);
  auto* bar = new TImageScrollBar(this);
  bar->SetParent(this);
  bar->LoadSkin(".\\imgs\\");
  bar->OnChange = [this](TObject* sender) { ScrollBarChange(sender); };
  bar->SetScrollerHeight(0);
  bar->SetColor(clWhite);
  scrollBar_ = bar;
  auto* content = new TPanel(this);
  content->SetBevelOuter(bvNone);
  content->SetParent(this);
  content->SetBounds(0, 0, Width() - bar->Width(), 50);
  // The panel fills itself, so Qt may scroll its pixels instead of repainting
  // the whole content at every step.
  content->setAttribute(Qt::WA_OpaquePaintEvent);
  content->OnResize = [this](TObject*) { ContentResized(); };
  contentPanel_ = content;
}

void TImageScrollBox::ContentResized() {
  if (!scrollBar_ || !contentPanel_) return;
  // The content stays where it is; the bar's position follows the new height.
  const int overflow = Overflow();
  scrollBar_->SetScrollerPos(overflow > 0 ? float(double(-contentPanel_->Top()) / overflow) : 0.0f);
  UpdateScrollBar();
}

int TImageScrollBox::Overflow() const {
  return contentPanel_ ? contentPanel_->Height() - Height() : 0;
}

// The content's Top for the bar's position; content shorter than the box stays at the top.
int TImageScrollBox::ContentTop() const {
  const int overflow = Overflow();
  if (overflow <= 0 || !scrollBar_) return 0;
  return -RoundHalfEven(overflow * double(scrollBar_->ScrollerPos()));
}

void TImageScrollBox::LockScrollBar() {
  if (scrollBar_) scrollBar_->NoPaint = true;
}

void TImageScrollBox::UnlockScrollBar() {
  if (!scrollBar_) return;
  scrollBar_->NoPaint = false;
  scrollBar_->Invalidate();
}

void TImageScrollBox::UpdateScrollBar() {
  if (!scrollBar_ || !contentPanel_) return;
  const int overflow = Overflow();
  if (overflow <= 0) {
    scrollBar_->SetScrollerHeight(0);
    scrollBar_->Hide();
    return;
  }
  scrollBar_->Show();
  scrollBar_->SetScrollerHeight(float(double(Height()) / contentPanel_->Height()));
  scrollBar_->ScrollAmount = float(double(kScrollStep) / overflow);
  scrollBar_->Invalidate();
}

void TImageScrollBox::ScrollBarChange(TObject*) {
  if (contentPanel_) contentPanel_->SetTop(ContentTop());
}

void TImageScrollBox::SetBounds(int left, int top, int width, int height) {
  TPanel::SetBounds(left, top, width, height);
  if (!scrollBar_ || !contentPanel_) return;
  scrollBar_->PlaceButtons(Rect(Width() - scrollBar_->Width(), 0, Width(), Height()));
  contentPanel_->SetBounds(0, ContentTop(), Width() - scrollBar_->Width() - 1, contentPanel_->Height());
  UpdateScrollBar();
}

bool TImageScrollBox::DoMouseWheel(TShiftState, int wheelDelta, TPoint) {
  const int overflow = Overflow();
  if (overflow > 0 && scrollBar_ && wheelDelta != 0) {
    const int sign = wheelDelta > 0 ? 1 : -1;
    scrollBar_->SetScrollerPos(float(scrollBar_->ScrollerPos() - sign * double(kScrollStep) / overflow));
  }
  return true;
}
