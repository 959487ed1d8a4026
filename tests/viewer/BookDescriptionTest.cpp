// The book description reader: the tree it builds, the page-range chain, the
// integer attributes, the text's encoding, and texts that are no description.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Cp1251.h"
#include "viewer/BookDescription.h"

namespace {

template <class T>
const T& ChildAs(const TTocNode& node, std::size_t index) {
  if (index >= node.Children.size()) throw std::out_of_range("no child " + std::to_string(index));
  const auto* child = dynamic_cast<const T*>(node.Children[index].get());
  if (!child) throw std::logic_error("child " + std::to_string(index) + " has another class");
  return *child;
}

std::string Nested(const std::string& tag, int depth) {
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<" + tag + ">";
  for (int i = 0; i < depth; ++i) xml += "</" + tag + ">";
  return xml;
}

using RangeList = std::vector<std::pair<int, int>>;

// The ranges of a flat list of PAGES elements under one page folder.
RangeList Ranges(const std::string& pagesElements) {
  const TTOC toc(("<PAGEFOLDER>" + pagesElements + "</PAGEFOLDER>").c_str());
  if (!toc.Loaded()) throw std::runtime_error(toc.Error());
  RangeList ranges;
  for (std::size_t i = 0; i < toc.Root()->Children.size(); ++i) {
    const auto& pages = ChildAs<TPages>(*toc.Root(), i);
    ranges.emplace_back(pages.Beg, pages.End);
  }
  return ranges;
}

}  // namespace

TEST(BookDescriptionTree, ReadsEveryElementAndAttribute) {
  const std::string xml = R"(<?xml version="1.0" encoding="windows-1251"?>
<BOOKFOLDER VERSION="1" NAME="Полка">
  <!-- a comment is no node -->
  <BOOK AUTHOR="Пушкин" NAME="Сказки">
    <PAGEFOLDER NAME="Часть 1">
      <PAGES BEG="3" END="7" STARTING="1" NAME="Глава"/>
    </PAGEFOLDER>
  </BOOK>
  <BOOK/>
</BOOKFOLDER>)"_cp;
  const TTOC toc(xml.c_str());
  ASSERT_TRUE(toc.Loaded()) << toc.Error();

  const auto* folder = dynamic_cast<const TBookFolder*>(toc.Root());
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->Tag, "BOOKFOLDER");
  EXPECT_EQ(folder->Name, "Полка"_cp);
  EXPECT_EQ(folder->Version, 1);
  EXPECT_EQ(folder->Parent, nullptr);
  ASSERT_EQ(folder->Children.size(), 2u);

  const auto& book = ChildAs<TBook>(*folder, 0);
  EXPECT_EQ(book.Tag, "BOOK");
  EXPECT_EQ(book.Author, "Пушкин"_cp);
  EXPECT_EQ(book.Name, "Сказки"_cp);
  EXPECT_EQ(book.Parent, folder);

  const auto& pageFolder = ChildAs<TPageFolder>(book, 0);
  EXPECT_EQ(pageFolder.Tag, "PAGEFOLDER");
  EXPECT_EQ(pageFolder.Name, "Часть 1"_cp);
  EXPECT_EQ(pageFolder.Parent, &book);

  const auto& pages = ChildAs<TPages>(pageFolder, 0);
  EXPECT_EQ(pages.Tag, "PAGES");
  EXPECT_EQ(pages.Name, "Глава"_cp);
  EXPECT_EQ(pages.Beg, 3);
  EXPECT_EQ(pages.End, 7);
  EXPECT_EQ(pages.Starting, 1);
  EXPECT_EQ(pages.Parent, &pageFolder);
  EXPECT_TRUE(pages.Children.empty());

  const auto& bare = ChildAs<TBook>(*folder, 1);
  EXPECT_EQ(bare.Author, "");
  EXPECT_EQ(bare.Name, "");
}

TEST(BookDescriptionTree, AbsentPageAttributesReadAsZeroAndEndDefaultsToBeg) {
  const TTOC toc(R"(<PAGEFOLDER><PAGES/><PAGES BEG="0" END=""/></PAGEFOLDER>)");
  ASSERT_TRUE(toc.Loaded()) << toc.Error();
  const auto& first = ChildAs<TPages>(*toc.Root(), 0);
  EXPECT_EQ(first.Beg, 0);
  EXPECT_EQ(first.End, 0);
  EXPECT_EQ(first.Starting, 0);
  EXPECT_EQ(ChildAs<TPages>(*toc.Root(), 1).End, 0);
}

TEST(BookDescriptionTree, NamesAreMatchedWithTheirCase) {
  EXPECT_FALSE(TTOC("<book/>").Loaded());
  EXPECT_FALSE(TTOC(R"(<BookFolder VERSION="1"/>)").Loaded());
  const TTOC toc(R"(<BOOK author="a" name="n"><pages BEG="1"/><Pages BEG="2"/></BOOK>)");
  ASSERT_TRUE(toc.Loaded()) << toc.Error();
  const auto& book = dynamic_cast<const TBook&>(*toc.Root());
  EXPECT_EQ(book.Author, "");
  EXPECT_EQ(book.Name, "");
  EXPECT_TRUE(book.Children.empty());
}

TEST(BookDescriptionTree, UnknownElementsAreSkippedWithTheirSubtree) {
  const TTOC toc(
      R"(<BOOK><PAGES BEG="1"/><EXTRA NAME="x"><PAGES BEG="3"/></EXTRA>text<PAGES BEG="5"/></BOOK>)");
  ASSERT_TRUE(toc.Loaded()) << toc.Error();
  ASSERT_EQ(toc.Root()->Children.size(), 2u);
  EXPECT_EQ(toc.Root()->Name, "");
  // The skipped range takes no part in the chain either.
  EXPECT_EQ(ChildAs<TPages>(*toc.Root(), 0).End, 4);
  EXPECT_EQ(ChildAs<TPages>(*toc.Root(), 1).Beg, 5);
}

TEST(BookDescriptionVersion, AcceptsUpToOneAndRefusesTheRest) {
  const auto version = [](const std::string& attributes) {
    const TTOC toc(("<BOOKFOLDER " + attributes + "/>").c_str());
    if (!toc.Loaded()) return std::string("refused: ") + toc.Error();
    return std::to_string(dynamic_cast<const TBookFolder&>(*toc.Root()).Version);
  };
  EXPECT_EQ(version(R"(VERSION="1")"), "1");
  EXPECT_EQ(version(R"(VERSION="0")"), "0");
  EXPECT_EQ(version(R"(VERSION="abc")"), "0");
  EXPECT_EQ(version(R"(VERSION="")"), "0");
  EXPECT_EQ(version(R"(VERSION="1.5")"), "1");
  EXPECT_EQ(version(R"(VERSION="-3")"), "-3");
  // Cut short, the number loses its sign.
  EXPECT_EQ(version(R"(VERSION="-2.5")"), "refused: Version of XML is not supported");
  EXPECT_EQ(version(R"(VERSION="-1.5")"), "1");
  EXPECT_EQ(version(R"(VERSION="2")"), "refused: Version of XML is not supported");
  EXPECT_EQ(version(R"(VERSION="99999999999999999999")"), "refused: Version of XML is not supported");
  EXPECT_EQ(version(R"(NAME="no version")"), "refused: Version of XML is not supported");
}

TEST(BookDescriptionVersion, ANestedFolderOfAnotherVersionFailsTheWholeDescription) {
  const TTOC toc(R"(<BOOKFOLDER VERSION="1"><BOOK/><BOOKFOLDER VERSION="2"/></BOOKFOLDER>)");
  EXPECT_FALSE(toc.Loaded());
  EXPECT_EQ(toc.Root(), nullptr);
}

TEST(BookDescriptionChain, ARangeWithoutEndRunsUpToTheNext) {
  EXPECT_EQ(Ranges(R"(<PAGES BEG="1"/><PAGES BEG="5"/><PAGES BEG="9" STARTING="1"/>)"),
            (RangeList{{1, 4}, {5, 9}, {9, 9}}));
  EXPECT_EQ(Ranges(R"(<PAGES BEG="3"/>)"), (RangeList{{3, 3}}));
}

TEST(BookDescriptionChain, ExplicitEndsAndBackwardStepsAreLeftAlone) {
  EXPECT_EQ(Ranges(R"(<PAGES BEG="1" END="2"/><PAGES BEG="5"/>)"), (RangeList{{1, 2}, {5, 5}}));
  // An end equal to the start counts as no end of its own.
  EXPECT_EQ(Ranges(R"(<PAGES BEG="1" END="1"/><PAGES BEG="5"/>)"), (RangeList{{1, 4}, {5, 5}}));
  EXPECT_EQ(Ranges(R"(<PAGES BEG="5"/><PAGES BEG="5"/><PAGES BEG="2"/>)"),
            (RangeList{{5, 5}, {5, 5}, {2, 2}}));
  // Only the range just before is extended, never one further back.
  EXPECT_EQ(Ranges(R"(<PAGES BEG="1"/><PAGES BEG="8" END="9"/><PAGES BEG="20"/>)"),
            (RangeList{{1, 7}, {8, 9}, {20, 20}}));
}

TEST(BookDescriptionChain, CrossesFoldersAndChainsNestedRangesBeforeTheirParent) {
  const TTOC toc(R"(<BOOKFOLDER VERSION="1">
    <BOOK><PAGEFOLDER><PAGES BEG="1"/></PAGEFOLDER></BOOK>
    <BOOK><PAGES BEG="10"><PAGES BEG="12"/></PAGES><PAGES BEG="20"/></BOOK>
  </BOOKFOLDER>)");
  ASSERT_TRUE(toc.Loaded()) << toc.Error();
  const auto& first = ChildAs<TPages>(ChildAs<TPageFolder>(ChildAs<TBook>(*toc.Root(), 0), 0), 0);
  const auto& outer = ChildAs<TPages>(ChildAs<TBook>(*toc.Root(), 1), 0);
  const auto& inner = ChildAs<TPages>(outer, 0);
  const auto& last = ChildAs<TPages>(ChildAs<TBook>(*toc.Root(), 1), 1);
  // The range inside is read before the one around it: it ends the range of
  // the first book, and the enclosing range (a step back) leaves it alone.
  EXPECT_EQ(first.End, 11);
  EXPECT_EQ(inner.End, 12);
  // The enclosing range is read last before the next one and runs up to it.
  EXPECT_EQ(outer.End, 19);
  EXPECT_EQ(last.End, 20);
}

TEST(BookDescriptionChain, ExtremePageNumbersDoNotOverflow) {
  EXPECT_EQ(Ranges(R"(<PAGES BEG="-99999999999"/><PAGES BEG="-2147483646"/>)"),
            (RangeList{{INT_MIN, -2147483647}, {-2147483646, -2147483646}}));
  EXPECT_EQ(Ranges(R"(<PAGES BEG="1"/><PAGES BEG="99999999999"/>)"),
            (RangeList{{1, INT_MAX - 1}, {INT_MAX, INT_MAX}}));
}

TEST(BookDescriptionIntegers, ReadWhatFitsAndStopAtTheRest) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 0},
      {"abc", 0},
      {"  12", 12},
      {"+7", 7},
      {"-3", -3},
      {"12abc", 12},
      {"1.5", 1},
      {"-3abc", 3},
      {"-2.5", 2},
      {"-3 ", 3},
      {"$1F", 31},
      {"x1f", 31},
      {"X1F", 31},
      {"0x10", 16},
      {"0X10", 16},
      {"-$10", -16},
      {"-$10z", 16},
      {"$", 0},
      {"0x", 0},
      {"$G1", 0},
      {"12 3", 12},
      {"- 3", 0},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999", INT_MIN},
      {"$FFFFFFFFFFFF", INT_MAX},
      {"99999999999999999999999", INT_MAX},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(TocStrToInt(text), value) << "'" << text << "'";
}

TEST(BookDescriptionEncoding, Cp1251TextWithOrWithoutADeclaration) {
  for (const std::string prolog :
       {"", R"(<?xml version="1.0" encoding="windows-1251"?>)", R"(<?xml version="1.0"?>)"}) {
    const TTOC toc((prolog + R"(<BOOK NAME="Ёж и ёлка"/>)"_cp).c_str());
    ASSERT_TRUE(toc.Loaded()) << prolog << ": " << toc.Error();
    EXPECT_EQ(toc.Root()->Name, "Ёж и ёлка"_cp) << prolog;
  }
}

TEST(BookDescriptionEncoding, UnicodeTextIsTakenAsUtf8OnlyWhenItReallyIs) {
  // Declared and valid UTF-8 (here as UTF-8 source bytes).
  const TTOC utf8(R"(<?xml version="1.0" encoding="UTF-8"?><BOOK NAME="Ёжик"/>)");
  ASSERT_TRUE(utf8.Loaded()) << utf8.Error();
  EXPECT_EQ(utf8.Root()->Name, "Ёжик"_cp);

  const TTOC bom("\xEF\xBB\xBF<BOOK AUTHOR=\"Чехов\"/>");
  ASSERT_TRUE(bom.Loaded()) << bom.Error();
  EXPECT_EQ(dynamic_cast<const TBook&>(*bom.Root()).Author, "Чехов"_cp);

  // A plug-in that declares UTF-8 but sends cp1251 still gets its names read.
  const TTOC mislabelled((R"(<?xml version="1.0" encoding="utf-8"?><BOOK NAME="Ёжик"/>)"_cp).c_str());
  ASSERT_TRUE(mislabelled.Loaded()) << mislabelled.Error();
  EXPECT_EQ(mislabelled.Root()->Name, "Ёжик"_cp);

  // A character with no cp1251 byte becomes '?', as elsewhere in the viewer.
  const TTOC foreign(R"(<BOOK NAME="a&#x4E2D;b"/>)");
  ASSERT_TRUE(foreign.Loaded()) << foreign.Error();
  EXPECT_EQ(foreign.Root()->Name, "a?b");
}

TEST(BookDescriptionBadText, EmptyMissingAndCutTextsAreRefused) {
  EXPECT_FALSE(TTOC(static_cast<const char*>(nullptr)).Loaded());
  EXPECT_FALSE(TTOC("").Loaded());
  EXPECT_FALSE(TTOC("   ").Loaded());
  // The explicit length is honoured: the text ends before the element closes.
  const std::string text = R"(<BOOK NAME="a"/>)";
  EXPECT_FALSE(TTOC(std::string_view(text.data(), text.size() - 2)).Loaded());
  EXPECT_TRUE(TTOC(std::string_view(text.data(), text.size())).Loaded());
}

TEST(BookDescriptionBadText, MalformedXmlIsRefusedWithItsPosition) {
  for (const char* xml : {
           "<BOOK>",
           "<BOOK><PAGES BEG=\"1\"></BOOK></PAGES>",
           "<BOOK/><BOOK/>",
           "<BOOK NAME=\"a\" NAME=\"b\"/>",
           "<BOOK NAME=unquoted/>",
           "plain text",
           "<BOOK>&undefined;</BOOK>",
       }) {
    const TTOC toc(xml);
    EXPECT_FALSE(toc.Loaded()) << xml;
    EXPECT_EQ(toc.Root(), nullptr) << xml;
    EXPECT_NE(toc.Error().find("not valid XML"), std::string::npos) << xml << ": " << toc.Error();
    EXPECT_NE(toc.Error().find("(line 1, column "), std::string::npos) << xml << ": " << toc.Error();
  }
}

TEST(BookDescriptionBadText, UnknownTopElementIsRefused) {
  const TTOC toc(R"(<CATALOG><BOOK/></CATALOG>)");
  EXPECT_FALSE(toc.Loaded());
  EXPECT_NE(toc.Error().find("does not start with"), std::string::npos) << toc.Error();
}

TEST(BookDescriptionBadText, HostileEntitiesAreRefused) {
  const char* laughs = R"(<?xml version="1.0"?><!DOCTYPE l [
    <!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
    <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
    <!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
    <!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">
    <!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">
    <!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;">
  ]><BOOK NAME="&f;"/>)";
  EXPECT_FALSE(TTOC(laughs).Loaded());
  EXPECT_FALSE(TTOC(R"(<!DOCTYPE l [<!ENTITY x SYSTEM "file:///etc/passwd">]><BOOK NAME="&x;"/>)").Loaded());
}

TEST(BookDescriptionBadText, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  EXPECT_TRUE(TTOC(Nested("PAGEFOLDER", 256).c_str()).Loaded());
  const TTOC tooDeep(Nested("PAGEFOLDER", 257).c_str());
  EXPECT_FALSE(tooDeep.Loaded());
  EXPECT_NE(tooDeep.Error().find("nested"), std::string::npos) << tooDeep.Error();
  // Deep enough to crash a recursive parser or destructor.
  EXPECT_FALSE(TTOC(Nested("x", 300000).c_str()).Loaded());
}
