// A laid-out paragraph as the learner sees it: words, a glued run, ruled lines.
#include <gtest/gtest.h>

#include <QImage>

#include "ExerciseFixtures.h"
#include "platform/Cp1251.h"

TEST(ParagraphRender, RulesAreDrawnOnePixelBelowEachLine) {
  TagTableScope tags;
  TestPage page(260);
  page.Parser->SetColor(0xF6EFE2);
  page.Parse(
      "<lines>Мальчик шёл по <b>дороге</b>, а за ним<space width=3><answer w=40 h=18> бежала "
      "собака.<br>Новая строка<fontsize 2> крупнее."_cp);
  page.Window->Show();
  const QImage shot = page.Window->grab().toImage();
  shot.save("paragraph.png");  // kept beside the test program for a look

  const TRLParser& parser = *page.Parser;
  ASSERT_GE(parser.RuledY.size(), 2u);
  const QColor rule = ToQColor(0xC9CED0);
  for (int y : parser.RuledY) {
    EXPECT_EQ(shot.pixelColor(1, y + 1), rule);
    EXPECT_EQ(shot.pixelColor(parser.RuledRight - 2, y + 1), rule);
    // The end point is left out, and nothing is drawn left of x = 1.
    EXPECT_EQ(shot.pixelColor(parser.RuledRight - 1, y + 1), ToQColor(0xF6EFE2));
    EXPECT_EQ(shot.pixelColor(0, y + 1), ToQColor(0xF6EFE2));
    EXPECT_EQ(shot.pixelColor(parser.RuledRight / 2, y), ToQColor(0xF6EFE2));
  }
  // The stand-in answer control is drawn in the parser's colour on its line.
  const auto children = page.Children();
  const auto answer = std::find_if(children.begin(), children.end(),
                                   [](TRLControl* c) { return dynamic_cast<TFakeAnswer*>(c); });
  ASSERT_NE(answer, children.end());
  EXPECT_EQ(shot.pixelColor((*answer)->Left() + 20, (*answer)->Top() + 9), ToQColor(0xF6EFE2));
}
