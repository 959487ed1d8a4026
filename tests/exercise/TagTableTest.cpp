// The tag table: registration order and look-up.
#include <gtest/gtest.h>

#include "ExerciseFixtures.h"
#include "exercise/RLLabel.h"
#include "platform/Cp1251.h"

TEST(TagTable, StartUpRegistersTheBaseTagsInOrder) {
  TagTableScope tags;
  ASSERT_GE(TagTable.size(), 3u);
  EXPECT_EQ(TagTable[0].Name, "statictext");
  EXPECT_EQ(TagTable[1].Name, "edit");
  EXPECT_EQ(TagTable[2].Name, "space");
  EXPECT_EQ(FindTagClass("Space"), &CreateControl<TRLSpacer>);
  EXPECT_EQ(FindTagClass("STATICTEXT"), &CreateControl<TRLStaticText>);
}

TEST(TagTable, FirstOfTwoEqualNamesWins) {
  TagTableScope tags;
  RegisterTag("Twice", &CreateControl<TRLLabel>);
  RegisterTag("twice", &CreateControl<TRLSpacer>);
  EXPECT_EQ(FindTagClass("TWICE"), &CreateControl<TRLLabel>);
}

TEST(TagTable, UnknownNamesAreQuotedAsWritten) {
  TagTableScope tags;
  // Cyrillic letters are not folded, so this is no row's name.
  EXPECT_EQ(ExceptionMessage([] { FindTagClass("ПРОБЕЛ"_cp); }), "Unknown tag: \"ПРОБЕЛ\""_cp);
}
