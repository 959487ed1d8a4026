#pragma once
// The exercise screen: a frame filling the main window that shows one
// exercise at a time. This part builds the screen and draws it: the place of
// every part relative to the work rectangle that the screen size chooses,
// the composed background, the six sprite buttons, the hint panel's frame
// and the close and minimise images. Its navigation (WorkFrameNavigation.cpp)
// loads a list of documents, steps through it, builds the contents list from
// "contents.txt" and checks, resets and marks the answers.

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/Forms.h"
#include "platform/StringList.h"
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

  // Takes a copy of list (document paths in showing order), builds the
  // contents from "contents.txt" beside its first document and shows that one.
  void LoadExerciseList(const TStringList& list);
  // One label per line of "contents.txt"; a label opens the document that
  // the number at the start of its line names ("3. ...", "3-5. ...").
  void BuildContents();
  // Shows document index of Files; an index outside the list changes nothing.
  // Errors of reading or building the document propagate after the scroll
  // bar and the previous and next buttons are working again.
  void ShowExercise(int index);
  // "Section: Подраздел. Упражнение №n из m. (name.cml)" for the shown document.
  std::string CaptionLine() const;

  // The wide exercise area covers the contents column: hides its labels
  // while active. The page builder calls it through OnFitWindow.
  void SetContentsVisible(bool active);
  void Button1Click(TObject* sender);  // previous
  void Button2Click(TObject* sender);  // next
  // Checks (or, when Hard, only scores) the body and reports the number of
  // mistakes in the mistakes dialog; returns when the dialog is closed.
  void Button3Click(TObject* sender);
  void Button4Click(TObject* sender);  // reset
  // Marks the answers without a count; offered only when Hard.
  void ShowButtonClick(TObject* sender);
  void ContentsLabelClick(TObject* sender);
  // Shows and hides the hint panel, for a document that has a hint.
  void HintButtonClick(TObject* sender);
  void iCloseClick(TObject* sender);
  void iMinimizeClick(TObject* sender);

  // Where line 1 of the layout puts the exercise area.
  TRect StandardAreaBounds() const;

  TRect WorkRect;
  int LayoutIndex = 0;
  bool Hard = false;        // the difficulty level: the show button is offered only then
  TStringList Files;        // the documents' paths, in showing order
  int Current = 0;          // index in Files of the document shown
  std::string SectionName;  // cp1251; the first part of the caption line

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
  // Shows the contents labels but in the wide mode, and but those under the
  // hint panel while it shows: a line it covered in part looked cut in half.
  void ShowContentsBesideHint();
  void BlendAreaFrame(TBitmap& background) const;
  void BlendOrnaments(TBitmap& background) const;
  std::vector<TImageButton2*> SpriteButtons() const;
  // The exercise area: where the body of a page is built and checked.
  TWinControl* Body() const;
  void FreeContentsLabels();
  void ClearPage();
  void BuildPage(const std::string& source, bool& changed);
  // Shows the page built so far with its frame, caption and hint button.
  void FinishPage(bool changed);
  void SetNavigationStates();

  bool wideMode_ = false;  // the exercise area covers the contents column
};
