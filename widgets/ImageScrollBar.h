#pragma once
// A vertical scroll bar drawn from skin pictures: a track line, a thumb of
// three pieces (top, stretched middle, bottom) and two arrow buttons that sit
// in the bar's parent directly above and below it. The position is a
// fraction from 0 to 1, the thumb length a fraction of the bar's height.

#include <QPointer>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Control.h"
#include "widgets/ImageButton.h"

class TTimer;

class TImageScrollBar : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TImageScrollBar(QObject* owner);
  ~TImageScrollBar() override;

  // Loads ScrollUp.jpg/ScrollDown.jpg (with their "_over"/"_click" pictures),
  // ScrollLine.jpg and ScrollerUp/Down/Middle.bmp from folder; the bar takes
  // the thumb's width. Throws Exception on a missing or unreadable picture.
  void LoadSkin(const std::string& folder);
  // Places bar and arrows in the column r of the parent, arrows included.
  void PlaceButtons(const TRect& r);

  float ScrollerPos() const { return scrollerPos_; }
  // Clamps to 0..1 and fires OnChange on every assignment.
  void SetScrollerPos(float pos);
  float ScrollerHeight() const { return scrollerHeight_; }
  // 0 or less: no thumb. Rebuilds the thumb picture.
  void SetScrollerHeight(float height);
  int RightWidth() const { return rightWidth_; }

  // The thumb's length and top edge in bar coordinates.
  int ThumbLength() const;
  int ThumbTop() const { return ThumbTopAt(scrollerPos_); }

  void SetParent(TWinControl* parent) override;
  void setVisible(bool visible) override;

  TNotifyEvent OnChange;
  float ScrollAmount = 0.01f;  // the position step of one arrow click
  bool NoPaint = false;        // while set, a repaint keeps what is on screen

  TImageButton* UpButton() const { return upButton_; }
  TImageButton* DownButton() const { return downButton_; }
  TTimer* UpRepeatTimer() const { return upTimer_; }
  TTimer* DownRepeatTimer() const { return downTimer_; }

  TBitmap ScrollLine, ScrollerUp, ScrollerDown, ScrollerMiddle;

 protected:
  void SetBounds(int left, int top, int width, int height) override;
  void Resize() override;
  void ColorChanged() override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  // direction: -1 for the up arrow, +1 for the down arrow.
  TImageButton* CreateArrow(int direction, TTimer*& timer);
  // The arrows that still exist.
  std::vector<TImageButton*> Arrows() const;
  void PlaceArrows();
  int ThumbTopAt(float pos) const;
  int LineLeft() const;
  void DrawTrack(TBitmap& target, int top, int bottom) const;
  void DrawThumb(TBitmap& target, int top) const;
  void ComposeBuffer();
  void RedrawThumb(float oldPos);
  void StopTracking();
  void RepeatTick(TImageButton* arrow, int direction);

  // The parent may free the arrows before the bar, as they are its children too.
  QPointer<TImageButton> upButton_;
  QPointer<TImageButton> downButton_;
  TTimer* upTimer_ = nullptr;
  TTimer* downTimer_ = nullptr;
  // Where the cursor was last seen over the held arrow, in its coordinates.
  TPoint arrowCursor_;
  float scrollerPos_ = 0;
  float scrollerHeight_ = 0;
  int rightWidth_ = 0;
  bool dragging_ = false;
  int dragOffset_ = 0;
  TBitmap buffer_;          // the bar as it is on screen
  TBitmap scrollerBuffer_;  // the thumb
};
