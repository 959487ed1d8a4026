#include "trainer/TitleScreen.h"

#include <QShowEvent>

#include "platform/Application.h"
#include "platform/ImageFiles.h"
#include "trainer/CaptionImage.h"
#include "trainer/TopicScreen.h"
#include "widgets/AlphaBitmap.h"
#include "widgets/ImageButton.h"

namespace {

constexpr int kDesignWidth = 1032, kDesignHeight = 1051;

TCaptionImage* MakeCaptionImage(TTitleFrame* frame, const TRect& bounds, const std::string& looks,
                                int lookWidth, TNotifyEvent onClick) {
  auto* image = new TCaptionImage(frame);
  image->SetParent(frame);
  image->SetBoundsRect(bounds);
  image->SetAnchors(akTop | akRight);
  image->LoadLooks(looks, lookWidth);
  image->OnClick = std::move(onClick);
  return image;
}

}  // namespace

TTitleFrame::TTitleFrame(QObject* owner) : TFrame(owner) {
  SetBounds(0, 0, kDesignWidth, kDesignHeight);
  Image8 = new TImage(this);
  Image8->SetParent(this);
  Image8->SetBounds(0, 0, 3, kDesignHeight);
  Image8->SetAnchors(akLeft | akTop | akBottom);
  Image8->SetStretch(true);
  Image8->SetPicture(LoadJpeg(".\\imgs\\title_edge.jpg"));
  CreateCaptionImages();
  BackImage = new TImage(this);
  BackImage->SetParent(this);
  BackImage->SetAlign(alClient);
  SelFrame1 = new TSelFrame(this);
  SelFrame1->SetName("SelFrame1");
  SelFrame1->SetParent(this);

  const TScreenLayout layout = CurrentScreenLayout();
  WorkRect = layout.WorkRect;
  LayoutIndex = layout.Index;
}

void TTitleFrame::CreateCaptionImages() {
  iMinimize = MakeCaptionImage(this, Bounds(991, 0, 25, 16), ".\\imgs\\ilMinimize.png", 22,
                               [this](TObject* sender) { iMinimizeClick(sender); });
  iClose = MakeCaptionImage(this, Bounds(1013, 0, 19, 16), ".\\imgs\\ilClose.png", 19,
                            [this](TObject* sender) { iCloseClick(sender); });
}

void TTitleFrame::Resize() {
  TFrame::Resize();
  // Hidden, the screen costs nothing: it is laid out and drawn when shown.
  if (Showing()) FrameResize();
}

void TTitleFrame::showEvent(QShowEvent* e) {
  TFrame::showEvent(e);
  // A restore from the taskbar shows the same pictures; a real showing lays out.
  if (!e->spontaneous()) FrameResize();
}

void TTitleFrame::FrameResize() {
  SelFrame1->SetBoundsRect(WorkRect);
  ComposeBackground();
  iMinimize->BringToFront();
  iClose->BringToFront();
}

void TTitleFrame::ComposeBackground() {
  if (Width() <= 0 || Height() <= 0) return;
  // Everything is drawn into pictures of our own first: a missing file
  // leaves the screens' pictures as they were.
  TBitmap background = LoadScreenBackground(LayoutIndex, Width(), Height());
  const TRect& r = WorkRect;
  const auto face = LoadAlphaBitmap(".\\imgs\\face_image.png", true);
  BlendPicture(background, *face, r.Right - face->Width(), r.Bottom - face->Height());
  const auto logo = LoadAlphaBitmap(".\\imgs\\big_logo.png", true);
  BlendPicture(background, *logo, r.Right - logo->Width(), r.Top);
  const TBitmap topics = TopicBackground(background);

  SelFrame1->Back->SetPicture(topics);
  SelFrame1->Back->SendToBack();
  for (TImageButton2* button : {SelFrame1->LevelButton, SelFrame1->ZoomOutButton, SelFrame1->ZoomInButton}) {
    if (!button) continue;
    button->SetBackground(topics);
    button->SetState(TImageButton2::bsNormal);
  }
  BackImage->SetPicture(background);
}

TBitmap TTitleFrame::TopicBackground(const TBitmap& background) const {
  TBitmap topics(SelFrame1->Width(), SelFrame1->Height());
  BitBlt(topics, 0, 0, topics.Width(), topics.Height(), background, SelFrame1->Left(), SelFrame1->Top());
  // A bullet before each heading, centred on it.
  const auto bullet = LoadAlphaBitmap(".\\imgs\\bullet.png", true);
  for (const TLabel* label :
       {SelFrame1->Label1, SelFrame1->Label15, SelFrame1->Label23, SelFrame1->lDifficulty})
    BlendPicture(topics, *bullet, label->Left() - bullet->Width(),
                 label->Top() + label->Height() / 2 - bullet->Height() / 2);
  return topics;
}

void TTitleFrame::iCloseClick(TObject*) {
  if (Application->MainForm) Application->MainForm->Close();
}

void TTitleFrame::iMinimizeClick(TObject*) {
  if (Application->MainForm) Application->MainForm->SetWindowState(wsMinimized);
}
