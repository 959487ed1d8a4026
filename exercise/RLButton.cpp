#include "exercise/RLButton.h"

#include <QPointer>

#include "exercise/RLMemory.h"
#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "widgets/AlphaBitmap.h"

namespace {

constexpr int FramesPerStrip = 4;

TBitmap LoadPremultiplied(const std::string& fileName) {
  return std::move(*LoadAlphaBitmap(fileName, true));
}

}  // namespace

// ----- TRLButton

TRLButton::TRLButton(QObject* owner) : TRLControl(owner) {
  Score = 0;
  MaxScore = 0;
  LoadSheet(".\\imgs\\del_03.png");
}

void TRLButton::LoadSheet(const std::string& fileName) {
  Sheet = LoadPremultiplied(fileName);
  FrameWidth = Sheet.Width();
  FrameHeight = Sheet.Height() / FramesPerStrip;
}

void TRLButton::ParseParameters(const std::string& params) {
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "caption") SetCaption(value);
  });
  SetBounds(Left(), Top(), FrameWidth, FrameHeight);
}

void TRLButton::Reset() {
  TRLControl::Reset();
  SetState(bsNormal);
  Show();
}

void TRLButton::SetState(std::uint8_t state) {
  if (state_ == state) return;
  state_ = state;
  Invalidate();
}

// ----- painting

void TRLButton::Paint(TCanvas& canvas) {
  TRLControl::Paint(canvas);
  DrawFrame(canvas, state_);
}

void TRLButton::DrawFrame(TCanvas& canvas, int frame) const {
  // A sheet narrower than a frame holds none; a zero frame size would divide by zero.
  if (FrameWidth <= 0 || FrameHeight <= 0) return;
  const int perRow = Sheet.Width() / FrameWidth;
  if (perRow == 0) return;
  const TRect source =
      Bounds((frame % perRow) * FrameWidth, (frame / perRow) * FrameHeight, FrameWidth, FrameHeight);
  AlphaBlend(canvas.Bitmap(), Bounds(0, 0, FrameWidth, FrameHeight), Sheet, source);
}

// ----- input

void TRLButton::Click() {
  QPointer<TRLButton> self(this);
  TRLControl::Click();
  // The handler may have freed the button or taken it elsewhere.
  if (!self) return;
  auto* memory = qobject_cast<TRLMemory*>(Parent());
  if (!memory) return;
  memory->Submit();
  if (self) Hide();
}

void TRLButton::KeyDown(unsigned short& key, TShiftState shift) {
  if (key != VK_RETURN && key != VK_SPACE) {
    TRLControl::KeyDown(key, shift);
    return;
  }
  key = 0;
  Click();
}

void TRLButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLButton> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (self) SetState(bsPressed);
}

void TRLButton::MouseMove(TShiftState shift, int x, int y) {
  QPointer<TRLButton> self(this);
  TRLControl::MouseMove(shift, x, y);
  if (self) BecomeHot();
}

void TRLButton::MouseEnter() {
  QPointer<TRLButton> self(this);
  TRLControl::MouseEnter();
  if (self) BecomeHot();
}

void TRLButton::BecomeHot() {
  // A pressed button stays pressed while the pointer moves over it.
  if (state_ == bsNormal) SetState(bsHot);
}

void TRLButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLButton> self(this);
  TRLControl::MouseUp(button, shift, x, y);
  if (self) SetState(bsNormal);
}

void TRLButton::MouseLeave() {
  TRLControl::MouseLeave();
  SetState(bsNormal);
}

void TRLButton::DoEnter() {
  TRLControl::DoEnter();
  Invalidate();
}

void TRLButton::DoExit() {
  TRLControl::DoExit();
  Invalidate();
}

// ----- TRLPaintButton

void TRLPaintButton::SetArrow(bool up) {
  Sheet = LoadPremultiplied(up ? ".\\imgs\\updown_01.png" : ".\\imgs\\updown_02.png");
  FrameWidth = ArrowWidth;
  FrameHeight = ArrowHeight;
  SetBounds(Left(), Top(), ArrowWidth, ArrowHeight);
  SetState(bsNormal);
}

int TRLPaintButton::Frame() const {
  if (State() != bsNormal) return afHot;
  // By class name: the paragraph lives in its own unit, which builds on this one.
  const TWinControl* parent = Parent();
  if (parent && parent->inherits("TRLParagraph") && !parent->Focused()) return afInactive;
  return afActive;
}

void TRLPaintButton::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  DrawFrame(canvas, Frame());
}
