// The mistakes dialog and its fading overlay: the face rule, the fade steps,
// the modal showing closed by a real click, dragging, the fallbacks and a
// screenshot of the dialog over the darkened screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "TrainerFixtures.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "platform/Timer.h"
#include "trainer/DialogForm.h"
#include "trainer/FadeForm.h"
#include "widgets/AlphaBitmap.h"

namespace {

template <typename T>
std::vector<T*> Windows() {
  std::vector<T*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w)) found.push_back(t);
  return found;
}

// Runs check while the dialog is up (from inside its modal loop), then
// clicks "Закрыть" as a learner would.
void WhileDialogShows(const std::function<void(TDialogForm&)>& check) {
  QTimer::singleShot(0, [check] {
    const auto dialogs = Windows<TDialogForm>();
    if (dialogs.size() != 1) {
      // Never leave a modal loop running: the test would hang instead of failing.
      ADD_FAILURE() << dialogs.size() << " dialogs are shown";
      for (TDialogForm* d : dialogs) d->Close();
      return;
    }
    TDialogForm& dialog = *dialogs.front();
    check(dialog);
    QTest::mouseClick(dialog.Label1, Qt::LeftButton, Qt::NoModifier, QPoint(80, 10));
  });
}

class MessageRecorder {
 public:
  MessageRecorder() {
    Application->SetMessageSink(
        [this](const std::string& text, const std::string&) { messages.push_back(text); });
  }
  ~MessageRecorder() { Application->SetMessageSink(nullptr); }
  std::vector<std::string> messages;
};

}  // namespace

TEST(LayeredFace, MaskAlphaScalesTheFaceAndBecomesItsAlpha) {
  TBitmap face(3, 2);  // white, opaque
  TBitmap mask(2, 2);
  mask.SetPixel(0, 0, 0x00FFFFFFu);  // transparent
  mask.SetPixel(1, 0, 0xFF000000u);  // opaque
  mask.SetPixel(0, 1, 0x80000000u);  // half
  mask.SetPixel(1, 1, 0xFF000000u);
  face.SetPixel(1, 1, 0xFF204080u);
  const TBitmap layered = ComposeLayeredFace(face, &mask);
  EXPECT_EQ(layered.Pixel(0, 0), 0x00000000u);
  EXPECT_EQ(layered.Pixel(1, 0), 0xFFFEFEFEu);  // 255 * 255 >> 8
  EXPECT_EQ(layered.Pixel(0, 1), 0x807F7F7Fu);
  EXPECT_EQ(layered.Pixel(1, 1), 0xFF1F3F7Fu);
  // A mask smaller than the face lets nothing through outside it.
  EXPECT_EQ(layered.Pixel(2, 0), 0x00000000u);
  EXPECT_EQ(layered.Pixel(2, 1), 0x00000000u);
}

TEST(LayeredFace, WithoutAMaskTheFaceIsOpaque) {
  TBitmap face(2, 1);
  face.SetPixel(1, 0, 0x00102030u);
  const TBitmap layered = ComposeLayeredFace(face, nullptr);
  EXPECT_EQ(layered.Pixel(0, 0) >> 24, 255u);
  EXPECT_EQ(layered.Pixel(1, 0), PremultiplyPixel(0x00102030u, 255, 255));
}

TEST(FadeOverlay, FadesInBy32UpToHalfOpacity) {
  TScreenSize screen(1024, 768);
  TFadeForm overlay;
  EXPECT_EQ(overlay.AlphaBlendValue(), 0);
  EXPECT_TRUE(overlay.Timer1->Enabled());
  EXPECT_EQ(overlay.Timer1->Interval(), 55);
  const int expected[] = {32, 64, 96, 128, 128};
  for (int value : expected) {
    overlay.Timer1Timer(overlay.Timer1);
    EXPECT_EQ(overlay.AlphaBlendValue(), value);
    EXPECT_DOUBLE_EQ(overlay.windowOpacity(), value / 255.0);
  }
}

TEST(FadeOverlay, DarkensASnapshotOfTheMainWindowWithoutWindowOpacity) {
  TForm main;
  main.SetBorderStyle(bsNone);
  main.SetBounds(0, 0, 64, 48);
  main.SetColor(RGB(200, 100, 50));
  main.Show();
  Application->MainForm = &main;
  TFadeForm overlay;
  Application->MainForm = nullptr;
  ASSERT_TRUE(overlay.CoversSnapshot());
  for (int i = 0; i < 4; ++i) overlay.Timer1Timer(overlay.Timer1);
  EXPECT_DOUBLE_EQ(overlay.windowOpacity(), 1.0);
  // Black at alpha 128 over the window's colour: c * (255 - 128) / 255.
  const QColor shown = overlay.grab().toImage().pixelColor(10, 10);
  EXPECT_NEAR(shown.red(), 200 * 127 / 255, 1);
  EXPECT_NEAR(shown.green(), 100 * 127 / 255, 1);
  EXPECT_NEAR(shown.blue(), 50 * 127 / 255, 1);
}

TEST(FadeOverlay, CoversTheMainWindowOrTheScreen) {
  TScreenSize screen(1280, 1024);
  {
    TFadeForm alone;
    EXPECT_EQ(alone.BoundsRect(), Bounds(0, 0, 1280, 1024));
  }
  TForm main;
  main.SetBorderStyle(bsNone);
  main.SetBounds(40, 30, 800, 600);
  Application->MainForm = &main;
  TFadeForm overlay;
  EXPECT_EQ(overlay.BoundsRect(), Bounds(40, 30, 800, 600));
  Application->MainForm = nullptr;
}

TEST(MistakesDialog, ShowsTheTextCentredOverTheOverlayAndClosesOnClick) {
  TWorkScreen screen(1024, 768);
  screen.Host().Show();
  bool checked = false;
  WhileDialogShows([&](TDialogForm& dialog) {
    checked = true;
    EXPECT_EQ(dialog.lText->Caption(), "Количество ошибок: 0"_cp);
    EXPECT_EQ(dialog.lText->Left(), 6);
    EXPECT_EQ(dialog.BoundsRect(), Bounds((1024 - 183) / 2, (768 - 139) / 2, 183, 139));
    EXPECT_TRUE(dialog.isModal());
    const auto overlays = Windows<TFadeForm>();
    ASSERT_EQ(overlays.size(), 1u);
    EXPECT_TRUE(overlays.front()->isVisible());
    EXPECT_EQ(overlays.front()->BoundsRect(), screen.Host().BoundsRect());
    // Composed on showing: the picture's outline is clear, its middle opaque.
    ASSERT_EQ(dialog.LayeredFace().Width(), 183);
    EXPECT_EQ(dialog.LayeredFace().Pixel(0, 0), 0u);
    EXPECT_EQ(dialog.LayeredFace().Pixel(90, 60) >> 24, 255u);
  });
  ShowMistakes("Количество ошибок: 0"_cp);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(Windows<TDialogForm>().empty());
  EXPECT_TRUE(Windows<TFadeForm>().empty());
}

TEST(MistakesDialog, FaceShowsTheTextInRedWhereTheMaskIsOpaque) {
  TWorkScreen screen(1024, 768);
  TDialogForm dialog(nullptr);
  dialog.SetText("Количество ошибок: 3"_cp);
  dialog.Show();
  const TBitmap face = dialog.PaintFace();
  int red = 0;
  for (int y = 7; y < 81; ++y)
    for (int x = 7; x < 178; ++x) {
      const std::uint32_t p = face.Pixel(x, y);
      if (Channel(p, 16) > 180 && Channel(p, 8) < 90 && Channel(p, 0) < 90) ++red;
    }
  EXPECT_GT(red, 60) << "the message is not drawn in red";
  const TBitmap& layered = dialog.LayeredFace();
  ASSERT_EQ(layered.Width(), 183);
  // Opaque mask: the face's colours scaled by 255/256.
  EXPECT_EQ(layered.Pixel(90, 100), PremultiplyPixel(face.Pixel(90, 100), 255, 255));
}

TEST(MistakesDialog, RecompositionIsAOneShot) {
  TWorkScreen screen(1024, 768);
  TDialogForm dialog(nullptr);
  dialog.Show();
  dialog.SetText("Количество ошибок: 7"_cp);
  EXPECT_TRUE(dialog.Timer1->Enabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.Timer1->Enabled(); }, 10000));
  // The composed face now carries the new text.
  EXPECT_EQ(dialog.LayeredFace().Image(),
            ComposeLayeredFace(dialog.PaintFace(), dialog.MsgBoxImage.get()).Image());
}

TEST(MistakesDialog, DraggedByItsTextOrPicture) {
  TWorkScreen screen(1024, 768);
  TDialogForm dialog(nullptr);
  dialog.Show();
  const TPoint start = Point(dialog.Left(), dialog.Top());
  QTest::mousePress(dialog.lText, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  QTest::mouseMove(dialog.lText, QPoint(50, 10));
  QTest::mouseRelease(dialog.lText, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
  EXPECT_EQ(Point(dialog.Left(), dialog.Top()), Point(start.X + 30, start.Y - 10));
  QTest::mousePress(dialog.Image1, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  QTest::mouseMove(dialog.Image1, QPoint(90, 125));
  QTest::mouseRelease(dialog.Image1, Qt::LeftButton, Qt::NoModifier, QPoint(90, 125));
  EXPECT_EQ(Point(dialog.Left(), dialog.Top()), Point(start.X + 20, start.Y + 15));
  // After the release a move drags nothing.
  QTest::mouseMove(dialog.Image1, QPoint(10, 10));
  EXPECT_EQ(Point(dialog.Left(), dialog.Top()), Point(start.X + 20, start.Y + 15));
}

TEST(MistakesDialog, MissingPictureIsReportedAndTheFaceIsOpaque) {
  TWorkScreen screen(1024, 768);
  MessageRecorder recorder;
  TPictureAside aside("MsgBox.png");
  TDialogForm dialog(nullptr);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_NE(recorder.messages.front().find("MsgBox.png"), std::string::npos);
  EXPECT_EQ(dialog.MsgBoxImage, nullptr);
  dialog.Show();
  EXPECT_EQ(dialog.LayeredFace().Pixel(0, 0) >> 24, 255u);
  EXPECT_EQ(dialog.LayeredFace().Pixel(182, 138) >> 24, 255u);
}

TEST(MistakesDialog, BrokenPictureAlsoFallsBackToAnOpaqueFace) {
  TWorkScreen screen(1024, 768);
  MessageRecorder recorder;
  TPictureAside aside("MsgBox.png", true);
  TDialogForm dialog(nullptr);
  EXPECT_EQ(recorder.messages.size(), 1u);
  dialog.Show();
  EXPECT_EQ(dialog.LayeredFace().Pixel(0, 0) >> 24, 255u);
}

TEST(MistakesDialog, OverlayIsFreedWhenTheDialogFails) {
  TWorkScreen screen(1024, 768);
  TPictureAside aside("MsgFace.bmp", true);
  EXPECT_THROW(ShowMistakes("Количество ошибок: 1"_cp), Exception);
  EXPECT_TRUE(Windows<TFadeForm>().empty());
  EXPECT_TRUE(Windows<TDialogForm>().empty());
}

TEST(MistakesDialogRender, DialogOverTheDarkenedScreen) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  f.ComposeBackground();
  f.lCurrent->SetCaption("Раздел: Подраздел. Упражнение №1 из 1. (Go.cml)"_cp);
  screen.Host().Show();
  TBitmap shot = Grab(f);
  WhileDialogShows([&](TDialogForm& dialog) {
    const auto overlays = Windows<TFadeForm>();
    ASSERT_EQ(overlays.size(), 1u);
    // Let the overlay fade in fully (its timer may run late on a busy
    // machine), then lay both windows over the screen as the window system
    // would: black at the overlay's opacity, then the dialog's premultiplied face.
    EXPECT_TRUE(QTest::qWaitFor([&] { return overlays.front()->AlphaBlendValue() == 128; }, 10000));
    const int darkness = overlays.front()->AlphaBlendValue();
    TBitmap black(shot.Width(), shot.Height());
    for (int y = 0; y < black.Height(); ++y)
      for (int x = 0; x < black.Width(); ++x) black.SetPixel(x, y, std::uint32_t(darkness) << 24);
    AlphaBlend(shot, Bounds(0, 0, shot.Width(), shot.Height()), black,
               Bounds(0, 0, shot.Width(), shot.Height()));
    const TBitmap& face = dialog.LayeredFace();
    AlphaBlend(shot, Bounds(dialog.Left(), dialog.Top(), face.Width(), face.Height()), face,
               Bounds(0, 0, face.Width(), face.Height()));
  });
  ShowMistakes("Количество ошибок: 3"_cp);
  SaveRender(shot.OpaqueImage(), "mistakes_dialog.png");
  // The screen outside the dialog is darkened to about half.
  EXPECT_LT(Channel(shot.Pixel(5, 400), 8), 140);
}
