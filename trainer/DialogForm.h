#pragma once
// The mistakes dialog: a borderless window with per-pixel transparency whose
// outline, soft edge and shadow come from the alpha of "MsgBox.png". Its face
// (picture and texts) is painted into a bitmap, multiplied by that alpha and
// put on screen as the window's whole appearance. It is dragged by its
// picture or text and closed by "Закрыть".

#include <QPointer>
#include <memory>
#include <string>

#include "platform/Forms.h"

class TFadeForm;
class TTimer;

class TDialogForm : public TForm {
  Q_OBJECT

 public:
  // Loads the face and ".\imgs\MsgBox.png"; a missing or broken MsgBox.png
  // is reported and leaves the dialog with an opaque face.
  explicit TDialogForm(QObject* owner);
  ~TDialogForm() override;

  // The message, centred; the face is composed anew.
  void SetText(const std::string& text);

  // Composes the face and puts it on screen. A one-shot: the timer is
  // stopped before the work, so a failure is not retried forever.
  void Timer1Timer(TObject* sender);
  // Puts a premultiplied bitmap of the dialog's size on screen as its look.
  void UpdateLayered(const TBitmap& bitmap);
  const TBitmap& LayeredFace() const { return layered_; }
  // The dialog's picture and texts as they would appear, opaque.
  TBitmap PaintFace();
  // The overlay under the dialog. The face is blended over the overlay's own
  // pixels, so its soft edge looks right without a compositing window manager.
  void SetBackdrop(TFadeForm* overlay);

  TImage* Image1;
  TLabel* lText;
  TLabel* Label1;  // "Закрыть"
  TTimer* Timer1;
  std::unique_ptr<TBitmap> MsgBoxImage;  // null when the picture could not be loaded

 protected:
  void DoShow() override;
  void paintEvent(QPaintEvent* e) override;
  // The backdrop under the dialog changes as it is dragged.
  void moveEvent(QMoveEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void CreateControls();
  void LoadMask();
  void PlaceOverMainForm();
  void Image1MouseDown(TObject* sender, int x, int y);
  void Image1MouseMove(TObject* sender, TShiftState shift, int x, int y);

  TBitmap layered_;
  QPointer<TFadeForm> backdrop_;
  bool composing_ = false;
  bool dragging_ = false;
  TPoint dragAnchor_;  // the dialog's point under the cursor while dragging
};

// The face with every pixel's colour scaled by the mask's alpha at that pixel
// and its alpha set to it (PremultiplyPixel). Outside the mask the alpha is 0;
// without a mask every pixel counts as opaque.
TBitmap ComposeLayeredFace(const TBitmap& face, const TBitmap* mask);

// Darkens the main window with a fading overlay, shows text in the mistakes
// dialog and returns when the dialog is closed; both windows are freed on
// every path.
void ShowMistakes(const std::string& text);
