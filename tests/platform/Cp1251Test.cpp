// The cp1251 table, conversions both ways and Russian case-insensitive text.
#include <gtest/gtest.h>

#include <set>

#include "platform/Cp1251.h"

TEST(Cp1251TableTest, EveryByteRoundTrips) {
  std::set<char16_t> seen;
  for (int b = 0; b < 256; ++b) {
    const char c = char(b);
    const char16_t u = Cp1251CharToUnicode(c);
    EXPECT_TRUE(seen.insert(u).second) << "two bytes map to U+" << std::hex << int(u);
    EXPECT_EQ(UnicodeToCp1251Char(u), c) << "byte " << b;
  }
  std::string all;
  for (int b = 1; b < 256; ++b) all += char(b);
  EXPECT_EQ(QStringToCp1251(Cp1251ToQString(all)), all);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251TableTest, KnownLetters) {
  EXPECT_EQ(Cp1251CharToUnicode('\xC0'), u'А');
  EXPECT_EQ(Cp1251CharToUnicode('\xFF'), u'я');
  EXPECT_EQ(Cp1251CharToUnicode('\xA8'), u'Ё');
  EXPECT_EQ(Cp1251CharToUnicode('\xB8'), u'ё');
  EXPECT_EQ(Cp1251CharToUnicode('\xB9'), u'№');
  EXPECT_EQ(Cp1251CharToUnicode('\x88'), u'€');
  EXPECT_EQ(Cp1251CharToUnicode('\x97'), u'—');
  EXPECT_EQ(Cp1251CharToUnicode('\xA5'), u'Ґ');
  EXPECT_EQ(Cp1251CharToUnicode('\xB4'), u'ґ');
  EXPECT_EQ(Cp1251CharToUnicode('\xAB'), u'«');
  EXPECT_EQ("Закрыть"_cp, "\xC7\xE0\xEA\xF0\xFB\xF2\xFC");
}

TEST(Cp1251ConversionTest, UnknownCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a→b"), "a?b");
  EXPECT_EQ(Utf8ToCp1251("ü"), "?");
  EXPECT_EQ(Utf8ToCp1251("x😀y"), "x?y") << "one character outside the BMP is one '?'";
  EXPECT_EQ(QStringToCp1251(QString::fromUtf8("x😀y")), "x?y");
  EXPECT_EQ(QStringToCp1251(QString(QChar(0xD800))), "?") << "a lone surrogate";
}

TEST(Cp1251ConversionTest, MalformedUtf8NeverSwallowsText) {
  EXPECT_EQ(Utf8ToCp1251("a\xFF"
                         "b"),
            "a?b");
  EXPECT_EQ(Utf8ToCp1251("a\xD0"), "a?") << "truncated sequence at the end";
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "?") << "overlong encoding";
  EXPECT_EQ(Utf8ToCp1251("\xD0"
                         "b"),
            "?b");
}

TEST(Cp1251ConversionTest, QStringSeesTheRightCharacters) {
  const QString q = Cp1251ToQString("Ёлка №1"_cp);
  EXPECT_EQ(q, QString::fromUtf8("Ёлка №1"));
  EXPECT_EQ(q.size(), 7);
  EXPECT_EQ(Cp1251ToUtf8("ёж"_cp), "ёж");
}

TEST(RussianTextTest, SameTextFoldsCyrillicAndLatin) {
  EXPECT_TRUE(SameTextRu("ёлка"_cp, "ЁЛКА"_cp));
  EXPECT_TRUE(SameTextRu("Привет, World"_cp, "пРИВЕТ, wORLD"_cp));
  EXPECT_TRUE(SameTextRu("", ""));
  EXPECT_FALSE(SameTextRu("елка"_cp, "ёлка"_cp)) << "е and ё are different letters";
  EXPECT_FALSE(SameTextRu("Е"_cp, "ё"_cp));
  EXPECT_FALSE(SameTextRu("да"_cp, "дан"_cp));
  // Latin "a" and Cyrillic "а" look alike but differ.
  EXPECT_FALSE(SameTextRu("a", "а"_cp));
}

TEST(RussianTextTest, CompareOrdersAlphabetically) {
  EXPECT_LT(CompareTextRu("абв"_cp, "АБГ"_cp), 0);
  EXPECT_GT(CompareTextRu("Я"_cp, "а"_cp), 0);
  EXPECT_LT(CompareTextRu("е"_cp, "ё"_cp), 0);
  EXPECT_LT(CompareTextRu("ё"_cp, "ж"_cp), 0) << "ё sorts between е and ж";
  EXPECT_LT(CompareTextRu("да"_cp, "ДАН"_cp), 0);
  EXPECT_LT(CompareTextRu("zebra", "Яблоко"_cp), 0);
  EXPECT_GT(CompareTextRu("B", "a"), 0);
}

TEST(RussianTextTest, AnsiCaseCoversTheWholeAlphabet) {
  EXPECT_EQ(AnsiLowerCase("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ABC"_cp),
            "абвгдеёжзийклмнопрстуфхцчшщъыьэюя abc"_cp);
  EXPECT_EQ(AnsiUpperCase("абвгдеёжзийклмнопрстуфхцчшщъыьэюя abc"_cp),
            "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ABC"_cp);
  EXPECT_EQ(AnsiLowerCase("ЂЃЉЊЌЋЏЎЈҐЄЇІЅ"_cp), "ђѓљњќћџўјґєїіѕ"_cp);
  EXPECT_EQ(AnsiUpperCase("№«»—µ1"_cp), "№«»—µ1"_cp) << "signs have no case";
}
