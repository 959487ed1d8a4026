// The fonts of the "font" and "fontsize" tags.
#include <gtest/gtest.h>

#include <functional>

#include "exercise/MarkupFonts.h"
#include "platform/StrUtils.h"

namespace {

TFont BaseFont() {
  TFont base;
  base.Name = "Times New Roman";
  base.SetSize(-14);
  base.Style = fsBold;
  return base;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no exception)";
}

}  // namespace

TEST(ApplyFontAttributes, StartsFromTheBaseFont) {
  TFont font;
  font.Style = fsItalic;
  ApplyFontAttributes("name=Arial size=12", &font, BaseFont());
  EXPECT_EQ(font.Name, "Arial");
  EXPECT_EQ(font.Size(), 12);
  EXPECT_EQ(font.Style, TFontStyles(fsBold));
}

TEST(ApplyFontAttributes, ColourDigitsAreInBlueGreenRedOrder) {
  TFont font;
  ApplyFontAttributes("color=#0000FF", &font, BaseFont());
  EXPECT_EQ(font.Color, clRed);
  ApplyFontAttributes("COLOR=#FF0000", &font, BaseFont());
  EXPECT_EQ(font.Color, clBlue);
}

TEST(ApplyFontAttributes, BadIntegersNameTheConvertedValue) {
  TFont font;
  EXPECT_EQ(MessageOf([&] { ApplyFontAttributes("name=Arial size=abc", &font, BaseFont()); }),
            "Integer expected, but \"abc\" found.");
  EXPECT_EQ(font.Name, "Arial");  // attributes before the faulty one are applied
  EXPECT_EQ(MessageOf([&] { ApplyFontAttributes("color=#zz", &font, BaseFont()); }),
            "Integer expected, but \"$zz\" found.");
}

TEST(ApplyFontAttributes, NullFontIsLeftAlone) {
  EXPECT_NO_THROW(ApplyFontAttributes("size=abc", nullptr, BaseFont()));
}

TEST(ApplyFontAttributes, OversizedSizeIsClamped) {
  TFont font;
  ApplyFontAttributes("size=-99999999999999", &font, BaseFont());
  EXPECT_EQ(font.Size(), -MaxMarkupFontSize);
}

TEST(FontSizeStep, StepsAwayFromZeroForPositiveArguments) {
  TFont font;
  font.SetSize(-14);
  EXPECT_EQ(FontSizeStep("1", font), -16);
  EXPECT_EQ(FontSizeStep("-1", font), -12);
  font.SetSize(10);
  EXPECT_EQ(FontSizeStep("2", font), 14);
}

TEST(FontSizeStep, NotANumber) {
  TFont font;
  EXPECT_EQ(MessageOf([&] { FontSizeStep("x", font); }), "Not a number in a <fontsize> tag.");
}

TEST(FontSizeStep, HugeStepsSaturateInsteadOfOverflowing) {
  TFont font;
  font.SetSize(-14);
  EXPECT_EQ(FontSizeStep("99999999999", font), -MaxMarkupFontSize);
  EXPECT_EQ(FontSizeStep("-99999999999", font), MaxMarkupFontSize);
}
