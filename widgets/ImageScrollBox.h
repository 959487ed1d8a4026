#pragma once
// A borderless panel that scrolls one content panel vertically with an image
// scroll bar along its right edge. The content's Top follows the bar's
// fractional position; the bar's thumb and step follow the heights.

#include <QPointer>

#include "platform/Forms.h"

class TImageScrollBar;

class TImageScrollBox : public TPanel {
  Q_OBJECT

 public:
  // Loads the bar's skin from ".\imgs\" in the current folder; throws
  // Exception when a picture is missing.
  explicit TImageScrollBox(QObject* owner);

  // Suspends and resumes the bar's painting around a rebuild of the content.
  void LockScrollBar();
  void UnlockScrollBar();
  // Fits the bar to the heights: shown with a thumb of box/content and a step
  // of 30 pixels when the content is taller than the box, hidden otherwise.
  void UpdateScrollBar();

  void SetBounds(int left, int top, int width, int height) override;

  TImageScrollBar* ScrollBar() const { return scrollBar_; }
  // The scrolled content; whoever fills it sets its height, and the bar
  // follows a new height at once.
  TPanel* ContentPanel() const { return contentPanel_; }

  static constexpr int kScrollStep = 30;  // pixels of content per arrow click or wheel step

 protected:
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

 private:
  int Overflow() const;
  int ContentTop() const;
  void ScrollBarChange(TObject* sender);
  void ContentResized();

  QPointer<TImageScrollBar> scrollBar_;
  QPointer<TPanel> contentPanel_;
};
