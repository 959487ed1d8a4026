// Cutting markup into chunks, tag bodies, keys and values.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

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

namespace {

// Random texts of the characters that steer the readers: keys, "=", quotes,
// backslashes, blanks, a control character and brackets.
std::string RandomMarkup(std::mt19937& random) {
  static const std::string alphabet = "ab= \"\\\x01<>";
  std::string s(random() % 24, ' ');
  for (char& c : s) c = alphabet[random() % alphabet.size()];
  return s;
}

template <typename Read>
std::string Outcome(Read read) {
  try {
    return read();
  } catch (const Exception& e) {
    return "error: " + e.Message();
  }
}

std::string Joined(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string out;
  for (const auto& [first, second] : pairs) out += "[" + first + "|" + second + "]";
  return out;
}

}  // namespace

// The readers that every tag uses go by position; they read exactly what
// cutting the text at each key and value, as the loops of old did, reads.
TEST(AttributeSyntax, ReadersByPositionReadAsCuttingLoopsDo) {
  std::mt19937 random(24);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomMarkup(random);
    const std::string cut = Outcome([&] { return Joined(ReadAttributes(text)); });
    const std::string read = Outcome([&] {
      std::vector<std::pair<std::string, std::string>> pairs;
      ForEachAttribute(text, [&](const std::string& k, const std::string& v) { pairs.emplace_back(k, v); });
      return Joined(pairs);
    });
    ASSERT_EQ(read, cut) << "attributes \"" << text << "\"";

    std::vector<std::pair<std::string, std::string>> tags;
    std::string rest = text;
    for (SplitAt(rest, "<", false); !rest.empty(); SplitAt(rest, "<", false)) {
      std::string body = ExtractToCloseBracket(rest);
      if (body.empty()) continue;
      const std::string name = SplitAt(body, " ", true);
      tags.emplace_back(name, body);
    }
    std::vector<std::pair<std::string, std::string>> read2;
    ForEachTag(text, [&](const std::string& n, const std::string& a) { read2.emplace_back(n, a); });
    ASSERT_EQ(Joined(read2), Joined(tags)) << "tags \"" << text << "\"";
  }
}

TEST(BadMarkup, ManyKeysAndTagsAreReadInLinearTime) {
  // A quarter of a million keys, or tags, each of which used to copy the rest.
  std::string keys;
  for (int i = 0; i < 250000; ++i) keys += "text=<error ";
  int count = 0;
  ForEachAttribute(keys, [&](const std::string& key, const std::string& value) {
    count += key == "text" && value == "<error";
  });
  EXPECT_EQ(count, 250000);
  std::string tags;
  for (int i = 0; i < 250000; ++i) tags += "<rgi caption=a> ";
  count = 0;
  ForEachTag(tags, [&](const std::string& name, const std::string&) { count += name == "rgi"; });
  EXPECT_EQ(count, 250000);
}
