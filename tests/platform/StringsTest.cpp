// String helpers and the string list: parsing, 1-based editing, trimming,
// case folding, formatting, line splitting.
#include <gtest/gtest.h>

#include <climits>

#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "platform/StringList.h"

TEST(StrToIntTest, AcceptsSignsDecimalAndHex) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-42"), -42);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("$ff"), 255);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("0x1A"), 26);
  EXPECT_EQ(StrToInt("$00AC4918"), 0xAC4918);
  EXPECT_EQ(StrToInt("2147483647"), INT32_MAX);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
}

TEST(StrToIntTest, RejectsBlanksAndJunkWithReadableMessage) {
  for (const char* bad : {"", " 7", "7 ", "+", "-", "$", "0x", "1e3", "12a", "--1", "$G", "7\t"}) {
    int value = 99;
    EXPECT_FALSE(TryStrToInt(bad, value)) << bad;
    EXPECT_EQ(value, 99) << "a failed parse must not touch the value";
    EXPECT_EQ(StrToIntDef(bad, -5), -5) << bad;
  }
  try {
    StrToInt(" 7");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "' 7' is not a valid integer value");
  }
}

TEST(StrToIntTest, SaturatesBeyondThirtyTwoBits) {
  EXPECT_EQ(StrToInt("99999999999"), INT32_MAX);
  EXPECT_EQ(StrToInt("-99999999999"), INT32_MIN);
  EXPECT_EQ(StrToInt("2147483648"), INT32_MAX);
  EXPECT_EQ(StrToInt("-2147483649"), INT32_MIN);
  EXPECT_EQ(StrToInt("$FFFFFFFFFFFFFFFFFFFF"), INT32_MAX);
  EXPECT_EQ(StrToInt(std::string(400, '9')), INT32_MAX);
  EXPECT_EQ(IntToStr(-123), "-123");
}

TEST(RoundingTest, HalvesGoToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
  EXPECT_EQ(RoundHalfEven(1e20), INT32_MAX);
  EXPECT_EQ(RoundHalfEven(-1e20), INT32_MIN);
}

TEST(RoundingTest, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(10, 96, 72), 13);  // 13.33
  EXPECT_EQ(MulDiv(3, 1, 2), 2);      // 1.5
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(3, 1, -2), -2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  // The product exceeds 32 bits but the quotient fits.
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
}

TEST(OneBasedEditTest, CopyClamps) {
  EXPECT_EQ(Copy("abc", 0, 2), "ab");
  EXPECT_EQ(Copy("abc", -5, 2), "ab");
  EXPECT_EQ(Copy("abc", 3, 10), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  EXPECT_EQ(Copy("abc", 2, 0), "");
  EXPECT_EQ(Copy("abc", 2, -1), "");
  EXPECT_EQ(Copy("abc", 2, INT_MAX), "bc");
}

TEST(OneBasedEditTest, DeleteAndInsertClamp) {
  std::string s = "abcdef";
  Delete(s, 0, 2);
  EXPECT_EQ(s, "cdef");
  Delete(s, 3, 100);
  EXPECT_EQ(s, "cd");
  Delete(s, 5, 1);
  EXPECT_EQ(s, "cd");
  Delete(s, 1, -1);
  EXPECT_EQ(s, "cd");

  Insert("X", s, 2);
  EXPECT_EQ(s, "cXd");
  Insert("<", s, -3);
  EXPECT_EQ(s, "<cXd");
  Insert(">", s, 100);
  EXPECT_EQ(s, "<cXd>");
}

TEST(OneBasedEditTest, PosIsOneBased) {
  EXPECT_EQ(Pos("c", "abc"), 3);
  EXPECT_EQ(Pos("<~~~>", "a<~~~>b"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
}

TEST(TrimTest, TrimsControlBytesButNeverCyrillic) {
  EXPECT_EQ(Trim(" \t\r\n ab c\x01 "), "ab c");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(Trim("   "), "");
  // 'я' is 0xFF and 'а' 0xE0: negative as signed char, yet letters.
  EXPECT_EQ(Trim("я"_cp), "я"_cp);
  EXPECT_EQ(Trim(" \xA0 "), "\xA0") << "a no-break space is not a blank byte";
  EXPECT_EQ(TrimRight("да "_cp), "да"_cp);
}

TEST(LatinCaseTest, FoldsLatinOnly) {
  EXPECT_EQ(LowerCase("AbZ Я"_cp), "abz Я"_cp);
  EXPECT_EQ(UpperCase("abz я"_cp), "ABZ я"_cp);
  EXPECT_TRUE(SameText("Check", "cHECK"));
  EXPECT_FALSE(SameText("Check", "Checks"));
  EXPECT_FALSE(SameText("Я"_cp, "я"_cp));
  EXPECT_FALSE(SameText("@", "`")) << "only letters fold";
}

TEST(FormatStringTest, SubstitutesInOrder) {
  EXPECT_EQ(Format("Количество ошибок: %d"_cp.c_str(), 3), "Количество ошибок: 3"_cp);
  EXPECT_EQ(Format("%s=%d%%", "a", -1), "a=-1%");
  EXPECT_EQ(Format("File not found: %s", std::string("x\\y.png")), "File not found: x\\y.png");
  EXPECT_EQ(Format("no args"), "no args");
}

TEST(FormatStringTest, BadPatternThrowsInsteadOfReadingMemory) {
  EXPECT_THROW(Format("%s and %s", "one"), Exception);
  EXPECT_THROW(Format("%x", 1), Exception);
  EXPECT_THROW(Format("trailing %"), Exception);
}

TEST(ReplaceTest, ReplacesEveryOccurrenceWithoutRescanning) {
  EXPECT_EQ(StringReplaceAll("a.b.c", ".", "::"), "a::b::c");
  EXPECT_EQ(StringReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(StringReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(StringReplaceAll("", "a", "b"), "");
}

TEST(SplitLinesTest, AcceptsEveryLineEnd) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\r\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\rb\rc\r"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitLines("a\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"})) << "LF CR is two line ends";
  EXPECT_EQ(SplitLines("\r\n"), (Lines{""}));
  EXPECT_EQ(SplitLines(""), Lines{});
}

TEST(StringListTest, EditsKeepLinesAndObjectsTogether) {
  TStringList list;
  int one = 1, two = 2;
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.AddObject("c", &two), 1);
  list.Insert(0, "a");
  list.SetObject(0, &one);
  list.Insert(3, "d");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(list.Objects(0), &one);
  EXPECT_EQ(list.Objects(2), &two);
  EXPECT_EQ(list.Objects(3), nullptr);

  list.Delete(1);
  EXPECT_EQ(list.Strings(1), "c");
  EXPECT_EQ(list.Objects(1), &two);
  list[1] = "C";
  EXPECT_EQ(list.Strings(1), "C");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, BadIndexThrows) {
  TStringList list;
  list.Add("x");
  EXPECT_THROW(list.Strings(1), Exception);
  EXPECT_THROW(list[-1], Exception);
  EXPECT_THROW(list.Objects(5), Exception);
  EXPECT_THROW(list.Delete(1), Exception);
  EXPECT_THROW(list.Insert(2, "y"), Exception);
  EXPECT_EQ(list.Count(), 1);
}

TEST(StringListTest, IndexOfFoldsLatinOnly) {
  TStringList list;
  list.SetText("Pdf\r\nDJVU\r\nЁж\r\npdf"_cp);
  EXPECT_EQ(list.IndexOf("pdf"), 0);
  EXPECT_EQ(list.IndexOf("djvu"), 1);
  EXPECT_EQ(list.IndexOf("Ёж"_cp), 2);
  EXPECT_EQ(list.IndexOf("ёж"_cp), -1);
  EXPECT_EQ(list.IndexOf("pd"), -1);
}

TEST(StringListTest, SetTextReplacesAndSplitsEveryLineEnd) {
  TStringList list;
  list.Add("old");
  list.SetText("one\rtwo\nthree\r\n\r\nfive");
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list[0], "one");
  EXPECT_EQ(list[3], "");
  EXPECT_EQ(list[4], "five");
}

TEST(StringListTest, SortIsStableAndFoldsLatin) {
  TStringList list;
  int first = 1, second = 2;
  list.AddObject("b", nullptr);
  list.AddObject("A", &first);
  list.AddObject("я"_cp, nullptr);
  list.AddObject("a", &second);
  list.AddObject("Z", nullptr);
  list.Sort();
  EXPECT_EQ(list.Text(), "A\r\na\r\nb\r\nZ\r\nя\r\n"_cp);
  EXPECT_EQ(list.Objects(0), &first);
  EXPECT_EQ(list.Objects(1), &second);
}
