// The exercise control base: skins, background, painting, walkers, arrow keys.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "ExerciseFixtures.h"
#include "exercise/RLLabel.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/DebugChecks.h"

namespace {

constexpr std::uint32_t RedPixel = 0xFFFF0000;
constexpr std::uint32_t WhitePixel = 0xFFFFFFFF;

// A 3 x 3 white skin with a red top-left corner.
TBitmap CornerSkin() {
  TBitmap skin(3, 3);
  skin.SetPixel(0, 0, RedPixel);
  return skin;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

class ThrowingControl : public TRLControl {
 public:
  using TRLControl::TRLControl;
  void Paint(TCanvas&) override { throw Exception("Broken skin."); }
};

// Collects the error boxes of the application for one test.
class MessageLog {
 public:
  MessageLog() {
    Application->SetMessageSink(
        [this](const std::string& text, const std::string&) { Messages.push_back(text); });
  }
  ~MessageLog() { Application->SetMessageSink(nullptr); }
  std::vector<std::string> Messages;
};

// The current folder for one test.
class CurrentFolder {
 public:
  explicit CurrentFolder(const QString& path) : saved_(QDir::currentPath()) { QDir::setCurrent(path); }
  ~CurrentFolder() { QDir::setCurrent(saved_); }

 private:
  QString saved_;
};

}  // namespace

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(images_.isValid() && elsewhere_.isValid());
    savedFolder_ = ImagesFolder;
    ImagesFolder = images_.path().toStdString() + "/";
  }
  void TearDown() override { ImagesFolder = savedFolder_; }

  QTemporaryDir images_;
  QTemporaryDir elsewhere_;
  std::string savedFolder_;
};

TEST_F(SkinTest, SkinFoundOnlyInTheImagesFolder) {
  CornerSkin().SaveToFile(ImagesFolder + "checkbox.bmp");
  WriteText(ImagesFolder + "checkbox.txt", "0 3\n1 2\n");
  CurrentFolder cwd(elsewhere_.path());
  TRLControl control(nullptr);
  control.LoadSkin("checkbox.bmp");
  EXPECT_EQ(control.Skin.Width(), 3);
  EXPECT_EQ(control.Skin.Pixel(0, 0), RedPixel);
  EXPECT_EQ(
      (std::vector<int>{control.MarginLeft, control.MarginRight, control.MarginTop, control.MarginBottom}),
      (std::vector<int>{0, 3, 1, 2}));
}

TEST_F(SkinTest, CurrentFolderComesFirst) {
  CornerSkin().SaveToFile(ImagesFolder + "inputtext.bmp");
  WriteText(ImagesFolder + "inputtext.txt", "1 1 1 1");
  CurrentFolder cwd(elsewhere_.path());
  TRLControl control(nullptr);
  control.LoadSkin("inputtext.bmp");
  EXPECT_EQ(control.Skin.Width(), 3);
  // Put there after the images folder's skin was read, it wins all the same.
  TBitmap(5, 5).SaveToFile(elsewhere_.path().toStdString() + "/inputtext.bmp");
  WriteText(elsewhere_.path().toStdString() + "/inputtext.txt", "0 0 0 0");
  control.LoadSkin("inputtext.bmp");
  EXPECT_EQ(control.Skin.Width(), 5);
  EXPECT_EQ(control.MarginLeft, 0);
}

TEST_F(SkinTest, MissingFilesAreNamed) {
  CurrentFolder cwd(elsewhere_.path());
  TRLControl control(nullptr);
  EXPECT_EQ(ExceptionMessage([&] { control.LoadSkin("checkbox.bmp"); }), "File not found: checkbox.bmp");
  CornerSkin().SaveToFile(ImagesFolder + "checkbox.bmp");
  EXPECT_EQ(ExceptionMessage([&] { control.LoadSkin("checkbox.bmp"); }),
            "File not found: " + ImagesFolder + "checkbox.txt");
  WriteText(ImagesFolder + "checkbox.txt", "1 2 x 4");
  EXPECT_NE(ExceptionMessage([&] { control.LoadSkin("checkbox.bmp"); }).find("four whole numbers"),
            std::string::npos);
  EXPECT_TRUE(control.Skin.Empty());
}

TEST_F(SkinTest, SkinsAreReadOnceAndAgainWhenTheirFilesChange) {
  const std::string picture = ImagesFolder + "comma.bmp", margins = ImagesFolder + "comma.txt";
  CornerSkin().SaveToFile(picture);
  WriteText(margins, "1 1 1 1");
  TRLControl first(nullptr), second(nullptr);
  first.LoadSkin("comma.bmp");
  second.LoadSkin("comma.bmp");
  // One reading, shared; unless the tests' check makes every copy deep.
  if (!DeepBitmapCopiesOn()) {
    EXPECT_EQ(first.Skin.Image().constBits(), second.Skin.Image().constBits());
  }
  EXPECT_EQ(first.Skin.Pixel(1, 1), second.Skin.Pixel(1, 1));

  TBitmap(5, 4).SaveToFile(picture);
  second.LoadSkin("comma.bmp");
  EXPECT_EQ(second.Skin.Width(), 5);
  EXPECT_EQ(first.Skin.Width(), 3);

  // Same length, so only the time tells the new margins apart.
  WriteText(margins, "2 2 2 2");
  QFile file(QString::fromStdString(margins));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
  file.close();
  second.LoadSkin("comma.bmp");
  EXPECT_EQ(second.MarginTop, 2);

  QFile::remove(QString::fromStdString(margins));
  EXPECT_EQ(ExceptionMessage([&] { second.LoadSkin("comma.bmp"); }), "File not found: " + margins);
}

// Margins are sizes a file claims: those beyond any picture's side are
// refused when the skin loads, naming the file, and values near the top of
// the int range must not overflow on the way (the sanitizer run sees that).
TEST_F(SkinTest, MarginsBeyondAnyPictureAreRefused) {
  CornerSkin().SaveToFile(ImagesFolder + "checkbox.bmp");
  const std::string margins = ImagesFolder + "checkbox.txt";
  TRLControl control(nullptr);
  for (const char* text : {"2147483647 2147483647 0 0", "0 0 2147483647 1", "8193 0 0 0", "0 0 0 9000"}) {
    WriteText(margins, text);
    const std::string message = ExceptionMessage([&] { control.LoadSkin("checkbox.bmp"); });
    EXPECT_EQ(message.rfind("The margins ", 0), 0u) << text;
    EXPECT_NE(message.find(" in " + margins + " exceed the 8192 pixels a picture may have a side"),
              std::string::npos)
        << message;
    EXPECT_TRUE(control.Skin.Empty());
  }
  // Margins larger than this picture are the controls' business (they crop).
  WriteText(margins, "8192 0 0 3");
  control.LoadSkin("checkbox.bmp");
  EXPECT_EQ(control.MarginLeft, 8192);
}

// A 30 x 30 control in the page with the corner skin and equal margins.
static TRLControl& SkinnedControl(TestPage& page, int margin) {
  auto* control = new TFakeAnswer(page.Parser);
  control->SetParent(page.Parser);
  control->SetBounds(0, 0, 30, 30);
  control->SetSkin(CornerSkin(), margin, margin, margin, margin);
  return *control;
}

TEST(NineSlice, AllZeroMarginsStretchTheWholeSkin) {
  TestPage page(100);
  TRLControl& control = SkinnedControl(page, 0);
  TBitmap out(30, 30);
  control.Paint(out.Canvas());
  EXPECT_EQ(out.Pixel(4, 4), RedPixel);
  EXPECT_EQ(out.Pixel(20, 20), WhitePixel);
}

TEST(NineSlice, CornersAreCopiedUnscaled) {
  TestPage page(100);
  TRLControl& control = SkinnedControl(page, 1);
  TBitmap out(30, 30);
  control.Paint(out.Canvas());
  EXPECT_EQ(out.Pixel(0, 0), RedPixel);
  EXPECT_EQ(out.Pixel(1, 1), WhitePixel);
  EXPECT_EQ(out.Pixel(4, 4), WhitePixel);
}

TEST(Background, ControlsCopyThePartUnderThemAndFillTheRestWithColor) {
  TagTableScope tags;
  TestPage page(200);
  page.Parser->SetBounds(0, 0, 200, 10);
  page.Parser->SetColor(0x00FF00);
  page.Parse("<answer w=20 h=10><answer w=20 h=10>");
  page.Parser->SetTop(7);
  // Each pixel of the background tells where it lies.
  TBitmap background(30, 40);
  for (int y = 0; y < background.Height(); ++y)
    for (int x = 0; x < background.Width(); ++x) background.SetPixel(x, y, 0xFF000000u | (x << 8) | y);
  page.Parser->SetBackground(background);
  TRLControl* second = page.Children()[1];
  TBitmap out(20, 10);
  second->Paint(out.Canvas());
  EXPECT_EQ(out.Pixel(0, 0), 0xFF000000u | (20 << 8) | 7);
  EXPECT_EQ(out.Pixel(9, 9), 0xFF000000u | (29 << 8) | 16);
  // Beyond the background's right edge the control shows its colour.
  EXPECT_EQ(out.Pixel(10, 0), ColorToPixel(0x00FF00));
  // Moving the page moves the part that is copied.
  page.Parser->SetTop(0);
  second->Paint(out.Canvas());
  EXPECT_EQ(out.Pixel(0, 0), 0xFF000000u | (20 << 8));
}

TEST(Painting, FailureIsReportedOnceAndFallsBackToColor) {
  TestPage page(100);
  MessageLog log;
  auto* control = new ThrowingControl(page.Parser);
  control->SetParent(page.Parser);
  control->SetBounds(10, 0, 20, 10);
  control->SetColor(0x123456);
  page.Window->Show();
  for (int i = 0; i < 3; ++i) {
    const QImage shot = page.Window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(15, 5), ToQColor(0x123456));
    QCoreApplication::processEvents();
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(log.Messages, (std::vector<std::string>{"Broken skin."}));
}

TEST(RootParser, OnlyAParserCanHoldExerciseControls) {
  TWinControl window(nullptr);
  TRLControl* loose = new TRLControl(&window);
  loose->SetParent(&window);
  EXPECT_EQ(ExceptionMessage([&] { FindRootParser(loose); }), "Control has non TRLParser parent.");
  TestPage page(100);
  auto* nested = new TRLStaticText(page.Parser);
  nested->SetParent(page.Parser);
  EXPECT_EQ(FindRootParser(nested), page.Parser);
  EXPECT_EQ(FindRootParser(page.Parser), page.Parser);
}

TEST(Walkers, SurviveControlsFreedWhileTheyRun) {
  TagTableScope tags;
  TestPage page(300);
  page.Parse("<answer><answer><answer>");
  auto answers = page.Children();
  QPointer<TRLControl> third = answers[2];
  dynamic_cast<TFakeAnswer*>(answers[0])->OnCheck = [&] { delete third.data(); };
  CheckChildren(page.Parser);
  EXPECT_TRUE(third.isNull());
  EXPECT_EQ(dynamic_cast<TFakeAnswer*>(answers[1])->Checks, 1);
  EXPECT_EQ(SumMaxScore(page.Parser), 2);
}

TEST(Walkers, FreeChildrenDeletesOnlyExerciseControlsAtOnce) {
  TagTableScope tags;
  TestPage page(300);
  page.Parse("a <answer> b");
  QPointer<TWinControl> plain = new TWinControl(page.Parser);
  plain->SetParent(page.Parser);
  QPointer<TRLControl> answer = page.Children()[1];
  FreeChildren(page.Parser);
  EXPECT_TRUE(answer.isNull());
  EXPECT_FALSE(plain.isNull());
  EXPECT_EQ(page.Parser->ControlCount(), 1);
  FreeChildren(page.Parser);  // nothing left to free
  EXPECT_EQ(page.Parser->ControlCount(), 1);
}

TEST(ArrowKeys, MoveTheFocusThroughThePageAndWrap) {
  TagTableScope tags;
  TestPage page(300);
  page.Parse("a <answer> <statictext <answer>> <answer>");
  std::vector<TRLControl*> answers;
  for (TRLControl* child : page.Children())
    if (dynamic_cast<TFakeAnswer*>(child)) answers.push_back(child);
  auto* nested = qobject_cast<TRLStaticText*>(page.Children()[3]);
  ASSERT_EQ(answers.size(), 2u);
  ASSERT_NE(nested, nullptr);
  TRLControl* inner = qobject_cast<TRLControl*>(nested->Controls(0));
  page.Window->Show();
  page.Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(page.Window.get()));
  answers[0]->SetFocus();
  ASSERT_TRUE(answers[0]->Focused());
  QTest::keyClick(answers[0], Qt::Key_Right);
  EXPECT_TRUE(inner->Focused());
  QTest::keyClick(inner, Qt::Key_Down);
  EXPECT_TRUE(answers[1]->Focused());
  QTest::keyClick(answers[1], Qt::Key_Right);
  EXPECT_TRUE(answers[0]->Focused());
  QTest::keyClick(answers[0], Qt::Key_Up);
  EXPECT_TRUE(answers[1]->Focused());
}
