// The tag table: registration order and look-up.
#include <gtest/gtest.h>

#include <algorithm>

#include "ExerciseFixtures.h"
#include "exercise/RLLabel.h"
#include "platform/Cp1251.h"

TEST(TagTable, StartUpRegistersTheBaseTagsInOrder) {
  TagTableScope tags;
  // The answer controls come first; the base rows follow them in this order.
  const auto base = std::find_if(TagTable.begin(), TagTable.end(),
                                 [](const TRLRec& row) { return row.Name == "statictext"; });
  ASSERT_LE(base + 3, TagTable.end());
  EXPECT_EQ(base[1].Name, "edit");
  EXPECT_EQ(base[2].Name, "space");
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
