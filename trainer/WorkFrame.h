#pragma once
// The exercise screen: a frame filling the main window that shows one
// exercise at a time. This part builds the screen and draws it: the place of
// every part relative to the work rectangle that the screen size chooses,
// the composed background, the six sprite buttons, the hint panel's frame
// and the close and minimise images.

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/Forms.h"
#include "trainer/ScreenLayout.h"

class TCaptionImage;
class TImageButton2;
class TImageScrollBox;
class TUnDrawPanel;

class TWorkFrame : public TFrame {
  Q_OBJECT

 public:
  // Builds the screen at its design size (849 x 735) for the present screen
  // size; loads the hint pictures, the sprite sheets and the close and
  // minimise pictures from ".\imgs\" (throws Exception when one is missing).
  explicit TWorkFrame(QObject* owner);
  ~TWorkFrame() override;

  // Places every part of the screen from WorkRect.
  void LayoutWorkFrame();
  // Lays out and recomposes only when the exercise area has left its place.
  void EnsureLayout();
  // Draws the background picture and hands it to the sprite buttons. On a
  // failure the previous pictures stay.
  void ComposeBackground();
  // Sizes the hint panel to the hint text and draws its frame.
  void LayoutHint();

  // The wide exercise area covers the contents column: hides its labels
  // while active. The page builder calls it through OnFitWindow.
  void SetContentsVisible(bool active);
  // Shows and hides the hint panel, for a document that has a hint.
  void HintButtonClick(TObject* sender);
  void iCloseClick(TObject* sender);
  void iMinimizeClick(TObject* sender);

  // Where line 1 of the layout puts the exercise area.
  TRect StandardAreaBounds() const;

  TRect WorkRect;
  int LayoutIndex = 0;
  bool Hard = false;  // the difficulty level: the show button is offered only then

  TImage* BackImage;
  TCaptionImage* iMinimize;
  TCaptionImage* iClose;
  TLabel* lTaskLabel;
  TLabel* lLabel;        // "Оглавление", heading of the contents
  TLabel* lCurrent;      // the caption line over the exercise
  TPanel* Panel1;        // the exercise area
  TUnDrawPanel* Panel3;  // the header
  TPanel* pHint;
  TImage* iHint;
  TPanel* pHintSpace;
  TLabel* Label1;  // "Подсказка"
  TImageScrollBox* pHintScroll;
  TPanel* pHintInner;           // the hint text's container; Tag 1 when the document has a hint
  TImageScrollBox* ContentBox;  // its content panel holds the exercise body

  // The hint frame's pieces; the middle one is loaded with the others but
  // never drawn, as the hint's own panel covers the middle.
  std::unique_ptr<TBitmap> HintTopImage, HintMiddleImage, HintBottomImage;
  TImageButton2* PrevButton;
  TImageButton2* NextButton;
  TImageButton2* ResetButton;
  TImageButton2* CheckButton;
  TImageButton2* HintButton;
  TImageButton2* ShowButton;
  // The contents labels, owned by the frame, stacked right of the exercise area.
  std::vector<QPointer<TLabel>> ContentsLabels;

 private:
  void CreateLabels();
  void CreateHintPanel();
  void CreateCaptionImages();
  TImageButton2* CreateSpriteButton(const std::string& sheet, int width, int height, TAnchors anchors);
  void CreateSpriteButtons();
  void LayoutButtons();
  void LayoutContentsLabels();
  void BlendAreaFrame(TBitmap& background) const;
  void BlendOrnaments(TBitmap& background) const;
  std::vector<TImageButton2*> SpriteButtons() const;
};
