#include "trainer/WorkFrame.h"

#include "exercise/ExercisePage.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/Font.h"
#include "trainer/CaptionImage.h"
#include "trainer/UnDrawPanel.h"
#include "widgets/AlphaBitmap.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"  // ImageScrollBox.h holds the bar in a QPointer
#include "widgets/ImageScrollBox.h"

namespace {

constexpr TColor kPageColor = 0xE2EFF6;
constexpr TColor kHintColor = 0x51B7F1;
constexpr TColor kContentsColor = 0xAC4918;
constexpr int kDesignWidth = 849, kDesignHeight = 735;
constexpr int kAreaFrameMargin = 23;
// The frame's top band starts this far above the exercise area.
constexpr int kAreaFrameRise = 5;

TLabel* MakeLabel(QObject* owner, TWinControl* parent, const std::string& caption, const TFont& font) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetFont(font);
  label->SetTransparent(true);
  label->SetCaption(caption);
  return label;
}

TPanel* MakePanel(QObject* owner, TWinControl* parent, const TRect& bounds) {
  auto* panel = new TPanel(owner);
  panel->SetParent(parent);
  panel->SetBevelOuter(bvNone);
  panel->SetBoundsRect(bounds);
  return panel;
}

// Left so that the control's right edge meets x's left edge, centred on x vertically.
void PlaceLeftOf(TControl& control, const TControl& x) {
  control.SetBounds(x.Left() - control.Width(), x.Top() + (x.Height() - control.Height()) / 2,
                    control.Width(), control.Height());
}

}  // namespace

TWorkFrame::TWorkFrame(QObject* owner) : TFrame(owner) {
  SetBounds(0, 0, kDesignWidth, kDesignHeight);
  // The callback is global and may outlive this frame, so it holds the frame weakly.
  OnFitWindow = [self = QPointer<TWorkFrame>(this)](bool active) {
    if (self) self->SetContentsVisible(active);
  };
  BackImage = new TImage(this);
  BackImage->SetParent(this);
  BackImage->SetAlign(alClient);
  CreateCaptionImages();
  CreateLabels();
  Panel1 = MakePanel(this, this, Bounds(0, 0, kDesignWidth, kDesignHeight));
  Panel1->SetColor(kPageColor);
  CreateHintPanel();
  Panel3 = new TUnDrawPanel(this);
  Panel3->SetName("Panel3");
  Panel3->SetParent(this);
  Panel3->SetBevelOuter(bvNone);
  Panel3->SetColor(kPageColor);
  Panel3->SetBounds(0, 0, 353, 50);
  Panel3->SetAnchors(akLeft | akTop | akRight);

  const TScreenLayout layout = CurrentScreenLayout();
  WorkRect = layout.WorkRect;
  LayoutIndex = layout.Index;
  FitWidth = WorkRect.Right - 30;
  HintTopImage = LoadAlphaBitmap(".\\imgs\\hint_01.png", true);
  HintMiddleImage = LoadAlphaBitmap(".\\imgs\\hint_02.png", true);
  HintBottomImage = LoadAlphaBitmap(".\\imgs\\hint_03.png", true);

  ContentBox = new TImageScrollBox(this);
  ContentBox->SetParent(Panel1);
  ContentBox->SetAlign(alClient);
  // The page shows the exercise area's colour until a document sets its own.
  ContentBox->ContentPanel()->SetParentColor(true);
  CreateSpriteButtons();
}

TWorkFrame::~TWorkFrame() = default;

void TWorkFrame::CreateCaptionImages() {
  // The close image comes second so it lies over the minimise image, which
  // reaches three pixels under it.
  iMinimize = new TCaptionImage(this);
  iMinimize->SetParent(this);
  iMinimize->SetBounds(808, 0, 25, 16);
  iMinimize->SetAnchors(akTop | akRight);
  iMinimize->LoadLooks(".\\imgs\\ilMinimize.png", 22);
  iMinimize->OnClick = [this](TObject* sender) { iMinimizeClick(sender); };
  iClose = new TCaptionImage(this);
  iClose->SetParent(this);
  iClose->SetBounds(830, 0, 19, 16);
  iClose->SetAnchors(akTop | akRight);
  iClose->LoadLooks(".\\imgs\\ilClose.png", 19);
  iClose->OnClick = [this](TObject* sender) { iCloseClick(sender); };
}

void TWorkFrame::CreateLabels() {
  lTaskLabel = MakeLabel(this, this, "Упражнение 1 из 36"_cp, MakeFont("Times New Roman", 24));
  lTaskLabel->Hide();
  lLabel =
      MakeLabel(this, this, "Оглавление"_cp, MakeFont("Times New Roman", 19, kContentsColor, fsUnderline));
  lLabel->SetCursor(Qt::PointingHandCursor);
  lCurrent = MakeLabel(this, this, "", MakeFont("Tahoma", 24));
  lCurrent->SetAutoSize(false);
  lCurrent->SetWordWrap(true);
}

void TWorkFrame::CreateHintPanel() {
  pHint = MakePanel(this, this, Bounds(kDesignWidth - 346, kDesignHeight - 354, 346, 354));
  pHint->SetParentColor(true);
  pHint->SetAnchors(akRight | akBottom);
  pHint->Hide();
  iHint = new TImage(this);
  iHint->SetParent(pHint);
  iHint->SetAlign(alClient);
  pHintSpace = MakePanel(this, pHint, Bounds(30, 5, 285, 340));
  pHintSpace->SetColor(kHintColor);
  Label1 = MakeLabel(this, pHintSpace, "Подсказка"_cp, MakeFont("Tahoma", 24));
  Label1->SetLeft(8);
  Label1->SetTop(5);
  // The hint scrolls with the screen's own scroll bar when it is cut short.
  pHintScroll = new TImageScrollBox(this);
  pHintScroll->SetParent(pHintSpace);
  pHintScroll->SetBounds(8, 34, 268, 312);
  pHintInner = pHintScroll->ContentPanel();
  pHintInner->SetName("pHintInner");
  pHintInner->SetParentColor(true);
  pHintInner->SetHeight(312);
}

TImageButton2* TWorkFrame::CreateSpriteButton(const std::string& sheet, int width, int height,
                                              TAnchors anchors) {
  auto* button = new TImageButton2(this);
  button->LoadSheet(".\\imgs\\" + sheet);
  button->SetBounds(0, 0, width, height);
  button->FrameWidth = width;
  button->FrameHeight = height;
  button->SetParent(this);
  button->BringToFront();
  button->SetAnchors(anchors);
  button->SetState(TImageButton2::bsNormal);
  return button;
}

void TWorkFrame::CreateSpriteButtons() {
  PrevButton = CreateSpriteButton("buttons_01.png", 62, 52, akLeft | akBottom);
  PrevButton->OnClick = [this](TObject* sender) { Button1Click(sender); };
  NextButton = CreateSpriteButton("buttons_03.png", 62, 52, akRight | akBottom);
  NextButton->OnClick = [this](TObject* sender) { Button2Click(sender); };
  ResetButton = CreateSpriteButton("buttons_02.png", 62, 52, akLeft | akBottom);
  ResetButton->OnClick = [this](TObject* sender) { Button4Click(sender); };
  CheckButton = CreateSpriteButton("big_one_03.png", 58, 68, akRight | akBottom);
  CheckButton->OnClick = [this](TObject* sender) { Button3Click(sender); };
  HintButton = CreateSpriteButton("hint_button.png", 62, 52, akRight | akBottom);
  HintButton->OnClick = [this](TObject* sender) { HintButtonClick(sender); };
  ShowButton = CreateSpriteButton("show_button.png", 62, 61, akRight | akBottom);
  ShowButton->OnClick = [this](TObject* sender) { ShowButtonClick(sender); };
}

std::vector<TImageButton2*> TWorkFrame::SpriteButtons() const {
  return {PrevButton, NextButton, ResetButton, CheckButton, HintButton, ShowButton};
}

TRect TWorkFrame::StandardAreaBounds() const {
  const TRect& r = WorkRect;
  const int top = r.Top + 140;
  return Bounds(r.Left + 30, top, r.Right - r.Left - pHint->Width() - 50,
                r.Bottom - top - CheckButton->Height() - 40);
}

void TWorkFrame::LayoutWorkFrame() {
  const TRect& r = WorkRect;
  Panel1->SetBoundsRect(StandardAreaBounds());
  Panel3->SetBounds(Panel1->Left(), Panel1->Top() - 50 - 30, Panel1->Width(), 50);
  LayoutButtons();
  lLabel->SetBounds(r.Right - lLabel->Width(), r.Top + 59, lLabel->Width(), lLabel->Height());
  lCurrent->SetBounds(r.Left + 30, r.Top, Panel1->Width(), Panel3->Top() - r.Top - 2);
  lTaskLabel->SetBounds(r.Left + 23, r.Top + lLabel->Height() + 5, lTaskLabel->Width(), lTaskLabel->Height());
  pHint->SetLeft(r.Right - pHint->Width());
  LayoutContentsLabels();
}

void TWorkFrame::LayoutButtons() {
  const int checkTop = WorkRect.Bottom - CheckButton->Height();
  auto rowTop = [&](const TControl& c) { return checkTop + (CheckButton->Height() - c.Height()) / 2; };
  PrevButton->SetBounds(Panel1->Left(), rowTop(*PrevButton), PrevButton->Width(), PrevButton->Height());
  ResetButton->SetBounds(PrevButton->Left() + PrevButton->Width(), rowTop(*ResetButton), ResetButton->Width(),
                         ResetButton->Height());
  NextButton->SetBounds(Panel1->Left() + Panel1->Width() - NextButton->Width(), rowTop(*NextButton),
                        NextButton->Width(), NextButton->Height());
  CheckButton->SetBounds(NextButton->Left() - CheckButton->Width(), checkTop, CheckButton->Width(),
                         CheckButton->Height());
  PlaceLeftOf(*HintButton, *CheckButton);
  PlaceLeftOf(*ShowButton, *HintButton);
  ShowButton->SetVisible(Hard);
}

void TWorkFrame::LayoutContentsLabels() {
  int y = Panel1->Top();
  for (const QPointer<TLabel>& label : ContentsLabels) {
    if (!label) continue;
    label->SetTransparent(true);
    label->SetWordWrap(true);
    const int width = pHint->Width() - 20;
    const int height = CalcTextRect(label->Font(), label->Caption(), width, true).Height();
    label->SetBounds(pHint->Left() + 30, y, width, height);
    label->SetParent(this);
    y += height;
  }
  ShowContentsBesideHint();
}

void TWorkFrame::ShowContentsBesideHint() {
  const bool hintShown = pHint->Visible();
  for (const QPointer<TLabel>& label : ContentsLabels)
    if (label) label->SetVisible(!wideMode_ && !(hintShown && !IntersectRect(label->BoundsRect(), pHint->BoundsRect()).IsEmpty()));
}

void TWorkFrame::EnsureLayout() {
  if (Panel1->BoundsRect() == StandardAreaBounds()) return;
  LayoutWorkFrame();
  ComposeBackground();
}

void TWorkFrame::ComposeBackground() {
  if (Width() <= 0 || Height() <= 0) return;
  // Everything is drawn into a picture of our own first: a missing file
  // leaves the screen's pictures as they were.
  TBitmap background = LoadScreenBackground(LayoutIndex, Width(), Height());
  BlendAreaFrame(background);
  BlendOrnaments(background);
  BackImage->SetPicture(background);
  for (TImageButton2* button : SpriteButtons()) {
    button->SetBackground(background);
    button->SetState(button == HintButton ? HintButton->State() : std::uint8_t(TImageButton2::bsNormal));
  }
}

void TWorkFrame::BlendAreaFrame(TBitmap& background) const {
  const auto frame = LoadAlphaBitmap("./imgs/bg_otveti.png", true);
  const int m = kAreaFrameMargin, w = frame->Width(), h = frame->Height();
  const TRect p = Panel1->BoundsRect();
  BlendNineCells(background, *frame, {0, m, w - m, w}, {0, m, h - m, h},
                 {p.Left - m, p.Left, p.Right, p.Right + m},
                 {p.Top - kAreaFrameRise, p.Top + m - kAreaFrameRise, p.Bottom, p.Bottom + m});
}

void TWorkFrame::BlendOrnaments(TBitmap& background) const {
  const TRect& r = WorkRect;
  const auto bullet = LoadAlphaBitmap(".\\imgs\\bullet.png", true);
  BlendPicture(background, *bullet, lCurrent->Left() - bullet->Width(), lCurrent->Top());
  const auto corner = LoadAlphaBitmap(".\\imgs\\right_bottom.png", true);
  BlendPicture(background, *corner, r.Right - corner->Width(), r.Bottom - corner->Height());
  const auto logo = LoadAlphaBitmap(".\\imgs\\logo.png", true);
  BlendPicture(background, *logo, r.Right - logo->Width(), r.Top);
}

void TWorkFrame::LayoutHint() {
  const bool hasHint = pHintInner->Tag == 1;
  HintButton->SetState(hasHint ? TImageButton2::bsNormal : TImageButton2::bsDisabled);
  if (!hasHint) return;
  pHintSpace->SetHeight(pHintInner->Height() + 44);
  pHintScroll->SetHeight(pHintInner->Height());
  int height = pHintSpace->Height() + 100;
  int top = WorkRect.Bottom - height - 40;
  // No higher than the exercise area's frame.
  const int highest = WorkRect.Top + 117;
  if (highest > top) {
    const int excess = highest - top;
    pHintScroll->SetHeight(pHintScroll->Height() - excess);
    pHintSpace->SetHeight(pHintSpace->Height() - excess);
    height -= excess;
    top = highest;
  }
  pHint->SetBounds(pHint->Left(), top, pHint->Width(), height);

  TBitmap frame(pHint->Width(), pHint->Height());
  frame.Canvas().Brush.Color = pHint->Color();
  frame.Canvas().FillRect(Rect(0, 0, frame.Width(), frame.Height()));
  BitBlt(frame, 0, 0, frame.Width(), frame.Height(), BackImage->Picture(), pHint->Left(), pHint->Top());
  BlendPicture(frame, *HintTopImage, 29, 0);
  BlendPicture(frame, *HintBottomImage, 29, frame.Height() - HintBottomImage->Height());
  iHint->SetPicture(frame);
}

void TWorkFrame::iCloseClick(TObject*) {
  if (Application->MainForm) Application->MainForm->Close();
}

void TWorkFrame::iMinimizeClick(TObject*) {
  if (Application->MainForm) Application->MainForm->SetWindowState(wsMinimized);
}
