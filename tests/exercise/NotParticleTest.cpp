// NOT-particle marks: the size, the choices a learner steps through, the
// check with its marks, and the error picture.
#include <gtest/gtest.h>

#include <QFile>

#include "MarkFixtures.h"
#include "exercise/RLNotParticle.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "widgets/AlphaBitmap.h"

namespace {

class NotParticleTest : public ::testing::Test {
 protected:
  TRLNotParticle* Particle(const std::string& attrs) {
    return page_.ParseOne<TRLNotParticle>("<together text=не "_cp + attrs + ">видел"_cp);
  }
  static TFont Bold(const TRLNotParticle& particle) {
    TFont font = particle.Font();
    font.Style |= fsBold;
    return font;
  }
  // The columns right of the text that hold any ink when painted.
  static int InkColumnsAfter(TRLNotParticle& particle, int fromX) {
    const TBitmap painted = Painted(particle);
    int columns = 0;
    for (int x = fromX; x < painted.Width(); ++x)
      columns +=
          CountWhere(painted, Rect(x, 0, x + 1, painted.Height()), [](auto p) { return !IsPaper(p); }) > 0;
    return columns;
  }
  static void Click(TRLNotParticle* particle, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(particle, button, {}, QPoint(2, 2));
  }

  MarkPage page_;
};

}  // namespace

TEST_F(NotParticleTest, SizedForTheTextAndTheErrorPicture) {
  TRLNotParticle* particle = Particle("answer=1");
  ASSERT_NE(particle, nullptr);
  EXPECT_EQ(particle->Text(), "не"_cp);
  EXPECT_TRUE(particle->Font().Style & fsBold);
  const TFont bold = Bold(*particle);
  const TBitmap& image = particle->ErrorImage();
  EXPECT_EQ(particle->Width(), std::max(TextWidth(bold, "не"_cp) + image.Width(), TextWidth(bold, "не "_cp)));
  EXPECT_EQ(particle->Height(), std::max(TextHeight(bold, "не "_cp), image.Height()));
  // The word after the tag is glued to it.
  const auto children = page_.Parser().ControlCount();
  ASSERT_EQ(children, 2);
  EXPECT_TRUE(static_cast<TRLControl*>(page_.Parser().Controls(1))->Glued);
}

TEST_F(NotParticleTest, AttributesAndTheirErrors) {
  TRLNotParticle* particle = Particle("answer=2 together=1");
  EXPECT_EQ(particle->Answer, TRLNotParticle::Hyphen);
  // "together" is read but every control starts with nothing chosen.
  EXPECT_EQ(particle->State, TRLNotParticle::NotChosen);
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { Particle("together=да"_cp); }), "Integer assumed, but \"да\" found."_cp);
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { Particle("answer=$x"); }), "Integer assumed, but \"$x\" found.");
}

TEST_F(NotParticleTest, MissingErrorPictureFailsTheTag) {
  const std::string path = ArtworkScope::Imgs("ne_err.png");
  ASSERT_TRUE(QFile::rename(QString::fromStdString(path), QString::fromStdString(path + ".aside")));
  const std::string message = ExceptionMessage([&] { Particle("answer=0"); });
  QFile::rename(QString::fromStdString(path + ".aside"), QString::fromStdString(path));
  EXPECT_NE(message.find("ne_err.png"), std::string::npos) << message;
}

TEST_F(NotParticleTest, SpaceStepsApartHyphenTogether) {
  TRLNotParticle* particle = Particle("answer=0");
  const TFont bold = Bold(*particle);
  const int width = particle->Width();
  // Right-aligned: with nothing chosen a "*" ends the control.
  EXPECT_GT(InkColumnsAfter(*particle, width - TextWidth(bold, "*")), 0);
  QTest::keyClick(particle, Qt::Key_Space);
  EXPECT_EQ(particle->State, TRLNotParticle::Apart);
  // Apart: the blank after the text is empty.
  EXPECT_EQ(InkColumnsAfter(*particle, width - TextWidth(bold, " ") + 1), 0);
  QTest::keyClick(particle, Qt::Key_Space);
  EXPECT_EQ(particle->State, TRLNotParticle::Hyphen);
  EXPECT_GT(InkColumnsAfter(*particle, width - TextWidth(bold, "-") + 1), 0);
  QTest::keyClick(particle, Qt::Key_Space);
  EXPECT_EQ(particle->State, TRLNotParticle::Together);
  // Together: the text itself reaches the right edge.
  EXPECT_GT(InkColumnsAfter(*particle, width - 3), 0);
  particle->CheckOnlyScore();
  EXPECT_EQ(particle->Score, 1);
}

TEST_F(NotParticleTest, NothingChosenIsWrongAndShowsThePictureWhereTheJointBelongs) {
  TRLNotParticle* particle = Particle("answer=0");
  CheckChildren(&page_.Parser());
  EXPECT_EQ(particle->Score, 0);
  EXPECT_EQ(particle->MaxScore, 1);
  EXPECT_TRUE(particle->ErrorShown);
  // The picture is blended at the bottom right, with its own alpha, over the page.
  const TBitmap& image = particle->ErrorImage();
  const TRect place = Bounds(particle->Width() - image.Width(), particle->Height() - image.Height(),
                             image.Width(), image.Height());
  TBitmap expected(particle->Width(), particle->Height());
  expected.Canvas().Brush = TBrush{PageColor, TBrushStyle::bsSolid};
  expected.Canvas().FillRect(Rect(0, 0, expected.Width(), expected.Height()));
  AlphaBlend(expected, place, image, Rect(0, 0, image.Width(), image.Height()));
  const TBitmap painted = Painted(*particle);
  for (int y = place.Top; y < place.Bottom; ++y)
    for (int x = place.Left; x < place.Right; ++x)
      ASSERT_EQ(painted.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
  EXPECT_GT(CountWhere(painted, place, IsRed), 0);
  // The text stands left of the picture, not over it.
  EXPECT_GT(
      CountWhere(painted, Rect(0, 0, place.Left, particle->Height()), [](auto p) { return !IsPaper(p); }), 0);
}

TEST_F(NotParticleTest, EachWrongJointHasItsRedMark) {
  struct Case {
    std::string attrs;
    int steps;  // Spaces before the check
  };
  const Case cases[] = {
      {"answer=1", 0},  // a bar where the blank belongs
      {"answer=1", 2},  // a slash over a wrong hyphen
      {"answer=0", 2},  // the same slash, and the joint picture
      {"answer=2", 1},  // the missing hyphen in red
      {"answer=7", 3},  // no such joint: drawn as a missing hyphen
  };
  std::vector<int> reds;
  for (const Case& c : cases) {
    FreeChildren(&page_.Parser());
    TRLNotParticle* particle = Particle(c.attrs);
    for (int i = 0; i < c.steps; ++i) QTest::keyClick(particle, Qt::Key_Space);
    particle->Check();
    ASSERT_TRUE(particle->ErrorShown) << c.attrs;
    const TBitmap painted = Painted(*particle);
    const int w = particle->Width(), h = particle->Height();
    const int markWidth = TextWidth(Bold(*particle), "-");
    // The mark stands at the right edge; the text keeps its own colour.
    EXPECT_GT(CountWhere(painted, Rect(w - markWidth, 0, w, h), IsRed), 0) << c.attrs << " " << c.steps;
    const int clear = w - std::max(markWidth, particle->ErrorImage().Width()) - 1;
    EXPECT_EQ(CountWhere(painted, Rect(0, 0, clear, h), IsRed), 0) << c.attrs << " " << c.steps;
    reds.push_back(CountWhere(painted, Rect(0, 0, w, h), IsRed));
  }
  EXPECT_GT(reds[2], reds[1]);
}

TEST_F(NotParticleTest, ClicksOnAMarkedControl) {
  TRLNotParticle* particle = Particle("answer=0");
  ASSERT_TRUE(page_.Show());
  int mouseDowns = 0;
  particle->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
  QTest::keyClick(particle, Qt::Key_Space);
  QTest::keyClick(particle, Qt::Key_Space);
  particle->Check();
  // A left click starts again from nothing chosen and lands on apart.
  Click(particle);
  EXPECT_EQ(mouseDowns, 1);
  EXPECT_TRUE(particle->Focused());
  EXPECT_FALSE(particle->ErrorShown);
  EXPECT_EQ(particle->State, TRLNotParticle::Apart);
  // A right click only clears the marks.
  particle->Check();
  Click(particle, Qt::RightButton);
  EXPECT_FALSE(particle->ErrorShown);
  EXPECT_EQ(particle->State, TRLNotParticle::NotChosen);
  // Space on a marked control also starts again, so it never draws a right
  // choice with the marks of a wrong one.
  QTest::keyClick(particle, Qt::Key_Space);
  particle->Check();
  QTest::keyClick(particle, Qt::Key_Space);
  EXPECT_FALSE(particle->ErrorShown);
  EXPECT_EQ(particle->State, TRLNotParticle::Apart);
}

TEST_F(NotParticleTest, FocusFrameAndReset) {
  const auto particles = page_.Parse<TRLNotParticle>("<together text=не>знал <together text=ни>куда"_cp);
  ASSERT_TRUE(page_.Show());
  particles[1]->Check();
  particles[0]->SetFocus();
  const TBitmap unfocused = Painted(*particles[1]);
  QTest::keyClick(particles[0], Qt::Key_Right);
  ASSERT_TRUE(particles[1]->Focused());
  // Focus clears the marks and Reset's effects: Score 0, nothing chosen.
  EXPECT_FALSE(particles[1]->ErrorShown);
  EXPECT_EQ(particles[1]->State, TRLNotParticle::NotChosen);
  const TBitmap focused = Painted(*particles[1]);
  const auto blue = [](std::uint32_t p) { return (p & 0xFFFFFF) == 0x0000FF; };
  const int top = CountWhere(focused, Rect(0, 0, focused.Width(), 1), blue);
  // A dashed frame: some of the top row, not all of it.
  EXPECT_GT(top, 0);
  EXPECT_LT(top, focused.Width());
  EXPECT_GT(CountWhere(focused, Rect(0, 0, 1, focused.Height()), blue), 0);
  EXPECT_EQ(CountWhere(unfocused, Rect(0, 0, unfocused.Width(), 1), blue), 0);

  QTest::keyClick(particles[1], Qt::Key_Space);
  particles[1]->Score = 1;
  particles[1]->Reset();
  EXPECT_EQ(particles[1]->Score, 0);
  EXPECT_EQ(particles[1]->State, TRLNotParticle::NotChosen);
}
