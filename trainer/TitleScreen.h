#pragma once
// The title screen: a frame filling the main window with the background that
// the screen size chooses, a front picture and a large logo, the close and
// minimise images, and the topic selection screen in the work rectangle,
// whose background it draws. The main window keeps it hidden until a caller
// shows it; it lays itself out and draws only while it shows.

#include "platform/Forms.h"
#include "trainer/ScreenLayout.h"

class TCaptionImage;
class TSelFrame;
class QShowEvent;

class TTitleFrame : public TFrame {
  Q_OBJECT

 public:
  // Builds the screen at its design size (1032 x 1051) with the topic
  // screen, for the present screen size. Throws Exception when a picture of
  // either screen is missing.
  explicit TTitleFrame(QObject* owner);

  // Puts the topic screen in the work rectangle and draws the background.
  void FrameResize();
  // Draws the background with its pictures into BackImage and the part
  // under the topic screen, with the headings' bullets, into its Back image
  // and its buttons. On a failure the previous pictures stay.
  void ComposeBackground();
  void iCloseClick(TObject* sender);
  void iMinimizeClick(TObject* sender);

  TRect WorkRect;
  int LayoutIndex = 0;

  TImage* Image8;  // a thin strip along the left edge
  TCaptionImage* iMinimize;
  TCaptionImage* iClose;
  TImage* BackImage;
  TSelFrame* SelFrame1;

 protected:
  void Resize() override;
  void showEvent(QShowEvent* e) override;

 private:
  void CreateCaptionImages();
  TBitmap TopicBackground(const TBitmap& background) const;
};
