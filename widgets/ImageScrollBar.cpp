#include "widgets/ImageScrollBar.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Canvas.h"
#include "platform/FileSystem.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "platform/Timer.h"
#include "widgets/ImageButton.h"

namespace {

constexpr int kRepeatInterval = 100;  // ms between auto-repeat steps

void FillRows(TBitmap& target, TColor color, int top, int bottom) {
  TCanvas& canvas = target.Canvas();
  canvas.Brush.Color = color;
  canvas.Brush.Style = TBrushStyle::bsSolid;
  canvas.FillRect(Rect(0, top, target.Width(), bottom));
}

}  // namespace

TImageScrollBar::TImageScrollBar(QObject* owner) : TGraphicControl(owner) {
  // The bar owns its arrows, so they go with it wherever they are parented.
  upButton_ = CreateArrow(-1, upTimer_);
  downButton_ = CreateArrow(+1, downTimer_);
}

TImageScrollBar::~TImageScrollBar() = default;

TImageButton* TImageScrollBar::CreateArrow(int direction, TTimer*& timer) {
  auto* arrow = new TImageButton(this);
  timer = new TTimer(this);
  timer->SetInterval(kRepeatInterval);
  timer->SetEnabled(false);
  timer->OnTimer = [this, held = QPointer<TImageButton>(arrow), direction](TObject*) {
    if (held) RepeatTick(held, direction);
  };
  arrow->OnClick = [this, direction](TObject*) { SetScrollerPos(scrollerPos_ + direction * ScrollAmount); };
  arrow->OnMouseDown = [this, timer](TObject*, TMouseButton, TShiftState, int x, int y) {
    arrowCursor_ = Point(x, y);
    timer->SetEnabled(true);
  };
  arrow->OnMouseMove = [this](TObject*, TShiftState, int x, int y) { arrowCursor_ = Point(x, y); };
  arrow->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    MouseUp(button, shift, x, y);
  };
  return arrow;
}

void TImageScrollBar::RepeatTick(TImageButton* arrow, int direction) {
  // Off the held arrow the repeat pauses; it resumes when the cursor comes back.
  if (!arrow->ClientRect().Contains(arrowCursor_)) return;
  SetScrollerPos(scrollerPos_ + direction * 2 * ScrollAmount);
}

void TImageScrollBar::LoadSkin(const std::string& folder) {
  const std::string path = IncludeTrailingPathDelimiter(folder);
  for (auto [arrow, name] :
       {std::pair{upButton_.data(), "ScrollUp.jpg"}, std::pair{downButton_.data(), "ScrollDown.jpg"}}) {
    if (!arrow) continue;
    arrow->LoadImages(path + name);
    arrow->SetBounds(arrow->Left(), arrow->Top(), arrow->NormalPicture.Width(),
                     arrow->NormalPicture.Height());
  }
  ScrollLine = LoadJpeg(path + "ScrollLine.jpg");
  ScrollerUp.LoadFromFile(path + "ScrollerUp.bmp");
  ScrollerDown.LoadFromFile(path + "ScrollerDown.bmp");
  ScrollerMiddle.LoadFromFile(path + "ScrollerMiddle.bmp");
  rightWidth_ = ScrollerUp.Width();
  SetWidth(rightWidth_);
}

void TImageScrollBar::PlaceButtons(const TRect& r) {
  const int upHeight = upButton_ ? upButton_->Height() : 0;
  const int downHeight = downButton_ ? downButton_->Height() : 0;
  SetBounds(r.Left, r.Top + upHeight, r.Width(), r.Height() - upHeight - downHeight);
}

std::vector<TImageButton*> TImageScrollBar::Arrows() const {
  std::vector<TImageButton*> arrows;
  for (TImageButton* arrow : {upButton_.data(), downButton_.data()})
    if (arrow) arrows.push_back(arrow);
  return arrows;
}

void TImageScrollBar::SetParent(TWinControl* parent) {
  TGraphicControl::SetParent(parent);
  for (TImageButton* arrow : Arrows()) arrow->SetParent(parent);
  if (parent) parent->DoubleBuffered = true;
}

void TImageScrollBar::setVisible(bool visible) {
  for (TImageButton* arrow : Arrows()) arrow->setVisible(visible);
  // A hidden bar gets no mouse-up, so a press in progress must end here.
  if (!visible) StopTracking();
  TGraphicControl::setVisible(visible);
}

void TImageScrollBar::SetBounds(int left, int top, int width, int height) {
  const bool sizeKept = width == Width() && height == Height();
  TGraphicControl::SetBounds(left, top, std::max(width, 0), std::max(height, 0));
  // A size change runs Resize(), which places the arrows; a move alone must too.
  if (sizeKept) PlaceArrows();
}

void TImageScrollBar::Resize() {
  TGraphicControl::Resize();
  PlaceArrows();
  SetScrollerHeight(scrollerHeight_);
  buffer_.SetSize(Width(), Height());
  Invalidate();
}

// The thumb picture holds the fill colour, so a new colour rebuilds it.
void TImageScrollBar::ColorChanged() {
  TGraphicControl::ColorChanged();
  SetScrollerHeight(scrollerHeight_);
}

void TImageScrollBar::PlaceArrows() {
  if (upButton_) upButton_->SetBounds(Left(), Top() - upButton_->Height(), Width(), upButton_->Height());
  if (downButton_) downButton_->SetBounds(Left(), Top() + Height(), Width(), downButton_->Height());
}

int TImageScrollBar::ThumbLength() const {
  return std::max(RoundHalfEven(Height() * double(scrollerHeight_)),
                  ScrollerUp.Height() + ScrollerDown.Height());
}

int TImageScrollBar::ThumbTopAt(float pos) const {
  return RoundHalfEven((Height() - ThumbLength()) * double(pos));
}

int TImageScrollBar::LineLeft() const {
  return (Width() - ScrollLine.Width()) / 2;
}

// The track picture stretched over rows [top, bottom) at its own width.
void TImageScrollBar::DrawTrack(TBitmap& target, int top, int bottom) const {
  if (ScrollLine.Empty() || bottom <= top) return;
  StretchBlt(target, Rect(LineLeft(), top, LineLeft() + ScrollLine.Width(), bottom), ScrollLine,
             Rect(0, 0, ScrollLine.Width(), ScrollLine.Height()));
}

void TImageScrollBar::SetScrollerHeight(float height) {
  scrollerHeight_ = height;
  const int thumb = ThumbLength();
  const int middle = thumb - (ScrollerUp.Height() + ScrollerDown.Height());
  scrollerBuffer_.SetSize(Width(), thumb);
  if (height > 0 && !scrollerBuffer_.Empty()) {
    FillRows(scrollerBuffer_, Color(), 0, thumb);
    DrawTrack(scrollerBuffer_, 0, thumb);
    BitBlt(scrollerBuffer_, 0, 0, ScrollerUp.Width(), ScrollerUp.Height(), ScrollerUp, 0, 0);
    if (middle > 0 && !ScrollerMiddle.Empty())
      StretchBlt(scrollerBuffer_, Bounds(0, ScrollerUp.Height(), Width(), middle), ScrollerMiddle,
                 Rect(0, 0, ScrollerMiddle.Width(), ScrollerMiddle.Height()));
    BitBlt(scrollerBuffer_, 0, ScrollerUp.Height() + middle, ScrollerDown.Width(), ScrollerDown.Height(),
           ScrollerDown, 0, 0);
  }
  Invalidate();
}

void TImageScrollBar::SetScrollerPos(float pos) {
  const float old = scrollerPos_;
  scrollerPos_ = std::clamp(pos, 0.0f, 1.0f);
  if (OnChange) OnChange(this);
  RedrawThumb(old);
}

void TImageScrollBar::ComposeBuffer() {
  buffer_.SetSize(Width(), Height());
  if (buffer_.Empty()) return;
  FillRows(buffer_, Color(), 0, Height());
  DrawTrack(buffer_, 0, Height());
  if (scrollerHeight_ > 0) BitBlt(buffer_, 0, ThumbTop(), Width(), ThumbLength(), scrollerBuffer_, 0, 0);
}

void TImageScrollBar::Paint() {
  // While painting is suspended the screen keeps what the bar last showed.
  if (!NoPaint) ComposeBuffer();
  Canvas().Draw(0, 0, buffer_);
}

// Moves the thumb in the on-screen picture: only the strip it uncovers and
// its new place change, whatever NoPaint says.
void TImageScrollBar::RedrawThumb(float oldPos) {
  const int oldTop = ThumbTopAt(oldPos);
  const int newTop = ThumbTop();
  if (oldTop == newTop || buffer_.Empty()) return;
  const int thumb = ThumbLength();
  int top = oldTop, bottom = newTop;  // moved down: the rows above the new place
  if (std::abs(newTop - oldTop) >= thumb) {
    bottom = oldTop + thumb;
  } else if (newTop < oldTop) {
    top = newTop + thumb;
    bottom = oldTop + thumb;
  }
  FillRows(buffer_, Color(), top, bottom);
  DrawTrack(buffer_, top, bottom);
  if (scrollerHeight_ > 0) BitBlt(buffer_, 0, newTop, Width(), thumb, scrollerBuffer_, 0, 0);
  Invalidate();
}

void TImageScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  const int thumb = ThumbLength();
  const int top = ThumbTop();
  if (y >= top && y < top + thumb && x >= 0 && x < Width()) {
    dragging_ = true;
    dragOffset_ = y - top;
    return;
  }
  // A click on the track centres the thumb on it in one jump.
  if (Height() > thumb) SetScrollerPos(float((y - thumb / 2.0) / (Height() - thumb)));
}

void TImageScrollBar::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_ || Height() - ThumbLength() <= 0) return;
  SetScrollerPos(float(double(y - dragOffset_) / (Height() - ThumbLength())));
}

void TImageScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  StopTracking();
}

void TImageScrollBar::StopTracking() {
  dragging_ = false;
  upTimer_->SetEnabled(false);
  downTimer_->SetEnabled(false);
}
