// Cutting markup into chunks, tag bodies, keys and values.
#include <gtest/gtest.h>

#include <string>

#include "exercise/TextTokens.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

// Reads attributes as every control does: keys until the first empty one.
std::vector<std::pair<std::string, std::string>> ReadAttributes(std::string attrs) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::string key = SplitAt(attrs, "=", true); !key.empty(); key = SplitAt(attrs, "=", true))
    pairs.emplace_back(key, NextToken(attrs));
  return pairs;
}

}  // namespace

TEST(SplitAt, CutsAtTheFirstDelimiterAndTrims) {
  std::string s = "  a <~~~>b<~~~>  ";
  EXPECT_EQ(SplitAt(s, "<~~~>", true), "a");
  EXPECT_EQ(s, "b<~~~>");
  EXPECT_EQ(SplitAt(s, "<~~~>", true), "b");
  EXPECT_EQ(s, "");
}

TEST(SplitAt, WithoutTheDelimiterTakesEverything) {
  std::string trimmed = "  whole text ";
  EXPECT_EQ(SplitAt(trimmed, "<", true), "whole text");
  EXPECT_EQ(trimmed, "");
  std::string untrimmed = " x ";
  EXPECT_EQ(SplitAt(untrimmed, "<", false), " x ");
  EXPECT_EQ(untrimmed, "");
  std::string emptyDelimiter = "abc";
  EXPECT_EQ(SplitAt(emptyDelimiter, "", false), "abc");
}

TEST(SplitAt, KeepsBlanksWithoutTrimming) {
  std::string s = "one <b>two";
  EXPECT_EQ(SplitAt(s, "<", false), "one ");
  EXPECT_EQ(s, "b>two");
}

TEST(NextToken, QuotedValueKeepsItsBlanksAndComma) {
  std::string s = "\"Hello, world\" rest=1";
  EXPECT_EQ(NextToken(s), "Hello, world");
  EXPECT_EQ(s, "rest=1");
}

TEST(NextToken, EscapedQuotesStayAndLoseTheirBackslashes) {
  std::string s = "first \\\"second\\\"";
  EXPECT_EQ(NextToken(s), "first");
  EXPECT_EQ(NextToken(s), "\"second\"");
  EXPECT_EQ(s, "");
}

TEST(NextToken, QuotesMayStartAndEndInsideAWord) {
  std::string s = "a\"b c\"d e";
  EXPECT_EQ(NextToken(s), "ab cd");
  EXPECT_EQ(s, "e");
}

TEST(NextToken, LeadingBlankGivesAnEmptyToken) {
  std::string s = " x";
  EXPECT_EQ(NextToken(s), "");
  EXPECT_EQ(s, "x");
}

TEST(NextToken, UnclosedQuoteIsAnError) {
  std::string s = "\"never closed";
  try {
    NextToken(s);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Single quote");
  }
}

TEST(AttributeSyntax, UnquotedValueEndsAtTheBlank) {
  const auto pairs = ReadAttributes("caption=Hello world answer=1");
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0], std::make_pair(std::string("caption"), std::string("Hello")));
  EXPECT_EQ(pairs[1], std::make_pair(std::string("world answer"), std::string("1")));
}

TEST(AttributeSyntax, QuotedValuesAndRepeatedKeys) {
  const auto pairs = ReadAttributes(" answer=\"два слова\"  answer = x "_cp);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].second, "два слова"_cp);
  EXPECT_EQ(pairs[1].first, "answer");
  EXPECT_EQ(pairs[1].second, "x");
}

TEST(ExtractToCloseBracket, NestedTagsStayInTheBody) {
  std::string s = "a <b>c</b>> tail";
  EXPECT_EQ(ExtractToCloseBracket(s), "a <b>c</b>");
  EXPECT_EQ(s, " tail");
}

TEST(ExtractToCloseBracket, UnclosedTagTakesTheRest) {
  std::string s = "b rest <i";
  EXPECT_EQ(ExtractToCloseBracket(s), "b rest <i");
  EXPECT_EQ(s, "");
}

TEST(NormalizeSpaces, CollapsesBlankRunsBeforeTurningTabs) {
  std::string s = "a   b \tc    ";
  NormalizeSpaces(s);
  EXPECT_EQ(s, "a b  c ");
}

TEST(BadMarkup, HugeAndBinaryInputsAreHandledInLinearTime) {
  std::string big(1 << 20, 'x');
  big[0] = '"';
  std::string copy = big;
  EXPECT_THROW(NextToken(copy), Exception);

  std::string blanks(1 << 20, ' ');
  NormalizeSpaces(blanks);
  EXPECT_EQ(blanks, " ");

  std::string binary;
  for (int i = 0; i < 256; ++i) binary.push_back(i == '<' ? 'x' : char(i));
  std::string body = binary;
  const std::string tag = ExtractToCloseBracket(body);
  EXPECT_EQ(tag.size(), std::size_t('>'));
  EXPECT_EQ(body.size(), 256u - '>' - 1);
}
