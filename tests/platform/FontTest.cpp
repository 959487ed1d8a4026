// Fonts: sizes in points and pixels, the GDI cell that text is placed and
// measured by, face substitution, and widths that behave like GDI's.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <climits>

#include "platform/Cp1251.h"
#include "platform/Font.h"

namespace {

TFont FontOf(const std::string& face, int size, TFontStyles style = 0) {
  TFont font;
  font.Name = face;
  font.SetSize(size);
  font.Style = style;
  return font;
}

}  // namespace

TEST(FontSize, PointsAndPixelsConvertBothWays) {
  struct {
    int Size;
    int Height;
  } const cases[] = {{-14, 19}, {-16, 21}, {-18, 24}, {-8, 11}, {8, -11}, {10, -13}, {12, -16}};
  for (const auto& c : cases) {
    TFont font;
    font.SetSize(c.Size);
    EXPECT_EQ(font.Height(), c.Height) << "size " << c.Size;
    EXPECT_EQ(font.Size(), c.Size) << "height " << c.Height;
  }
  TFont font;
  font.SetHeight(20);
  EXPECT_EQ(font.Size(), -15);
}

TEST(FontCell, NegativeSizesGiveTheWindowsCellForEveryFace) {
  for (const char* face : {"Times New Roman", "Tahoma", "Arial"}) {
    for (const auto& [size, cell] : {std::pair{-14, 19}, {-16, 21}, {-18, 24}}) {
      const TFont font = FontOf(face, size);
      EXPECT_EQ(TextHeight(font, "Ag"), cell) << face << " " << size;
      EXPECT_EQ(font.Ascent() + font.Descent(), cell) << face << " " << size;
      // The em is scaled to fit the cell: these faces' ascent + descent are
      // 1.1 to 1.2 em.
      const int em = font.ToQFont().pixelSize();
      EXPECT_LT(em, cell) << face << " " << size;
      EXPECT_GT(em, cell * 4 / 5) << face << " " << size;
      EXPECT_GT(font.Ascent(), 3 * font.Descent()) << face << " " << size;
    }
  }
}

TEST(FontCell, LiberationCellsAgreeWithQtsOwnMetrics) {
  // Liberation's layout tables repeat its Windows metrics, so Qt's cell of
  // the chosen em must be within a pixel of ours.
  for (const char* face : {"Times New Roman", "Arial"}) {
    for (int size = -8; size >= -40; --size) {
      const TFont font = FontOf(face, size);
      const QFontMetrics qm = font.Metrics();
      EXPECT_NEAR(qm.ascent() + qm.descent(), font.CellHeight(), 1) << face << " " << size;
      EXPECT_NEAR(qm.ascent(), font.Ascent(), 1) << face << " " << size;
    }
  }
}

TEST(FontCell, NegativeHeightIsTheEmAndTheCellIsLarger) {
  TFont font;
  font.Name = "Times New Roman";
  font.SetHeight(-20);
  EXPECT_EQ(font.ToQFont().pixelSize(), 20);
  // Liberation Serif's Windows ascent and descent are 1825 and 443 of 2048 units.
  EXPECT_EQ(font.Ascent(), 18);
  EXPECT_EQ(font.Descent(), 4);
  EXPECT_EQ(TextHeight(font, ""), 22);
}

TEST(FontCell, AbsurdHeightsAreClampedInsteadOfRasterisingHugeGlyphs) {
  for (int height : {INT_MIN, -1000000, 1000000, INT_MAX}) {
    TFont font;
    font.Name = "Arial";
    font.SetHeight(height);
    EXPECT_LE(font.ToQFont().pixelSize(), 2048) << height;
    EXPECT_GT(TextHeight(font, "x"), 0) << height;
  }
  TFont zero;
  zero.SetHeight(0);
  EXPECT_GT(zero.ToQFont().pixelSize(), 0);
  EXPECT_GT(TextWidth(zero, "x"), 0);
}

TEST(FontFace, WindowsFacesAreSubstitutedByInstalledOnes) {
  InitFonts();
  EXPECT_EQ(SubstituteFace("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(SubstituteFace("Arial"), "Liberation Sans");
  EXPECT_EQ(SubstituteFace("Courier New"), "Liberation Mono");
  EXPECT_EQ(SubstituteFace("times new roman"), "Liberation Serif");  // Windows names ignore case
  EXPECT_EQ(SubstituteFace("No Such Face At All"), "DejaVu Sans");
  EXPECT_EQ(SubstituteFace(""), "DejaVu Sans");
  EXPECT_EQ(SubstituteFace("Tahoma"), "Tahoma");  // Wine's Tahoma is installed here
}

TEST(FontFace, TheQtFontIsTheSubstitutedFaceWithTheStyle) {
  const TFont font = FontOf("Times New Roman", -14, fsBold | fsItalic | fsUnderline | fsStrikeOut);
  const QFont q = font.ToQFont();
  EXPECT_EQ(QFontInfo(q).family(), "Liberation Serif");
  EXPECT_TRUE(q.bold());
  EXPECT_TRUE(q.italic());
  EXPECT_TRUE(q.underline());
  EXPECT_TRUE(q.strikeOut());
  EXPECT_FALSE(FontOf("Times New Roman", -14).ToQFont().underline());
}

TEST(FontWidth, BoldIsWiderThanRegular) {
  for (const char* face : {"Times New Roman", "Tahoma", "Arial"}) {
    const std::string text = "Hello, world";
    EXPECT_GT(TextWidth(FontOf(face, -14, fsBold), text), TextWidth(FontOf(face, -14), text)) << face;
  }
}

TEST(FontWidth, WidthsOfPartsAddUpAsInGdi) {
  // Caret positions are computed from the widths of prefixes and single
  // characters, which only agree when advances are whole pixels.
  const std::string text = "Съешь же ещё этих мягких французских булок, AVATAR."_cp;
  for (const char* face : {"Times New Roman", "Tahoma", "Arial"}) {
    const TFont font = FontOf(face, -14);
    int sum = 0;
    for (char c : text) sum += TextWidth(font, std::string(1, c));
    EXPECT_EQ(sum, TextWidth(font, text)) << face;
    EXPECT_EQ(TextWidth(font, "AV"), TextWidth(font, "A") + TextWidth(font, "V")) << face << ": no kerning";
  }
}

TEST(FontWidth, CyrillicIsMeasuredFromCp1251) {
  const TFont font = FontOf("Times New Roman", -14);
  EXPECT_EQ(TextWidth(font, ""), 0);
  const int privet = TextWidth(font, "Привет"_cp);
  EXPECT_GT(privet, 6 * 4);
  // Each byte is one letter: a wrong conversion would measure replacement
  // characters or UTF-8 pairs.
  EXPECT_EQ(privet, font.Metrics().horizontalAdvance(QString::fromUtf8("Привет")));
  EXPECT_GT(TextWidth(font, "Привет, мир"_cp), privet);
}
