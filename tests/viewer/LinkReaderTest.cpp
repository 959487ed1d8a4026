// Link texts: splitting into lines, the command word, and the arguments.
#include <gtest/gtest.h>

#include "viewer/Plugin/PluginLinkReader.h"

namespace {

TPluginLinkReader Parsed(const std::string& text) {
  TPluginLinkReader reader;
  EXPECT_TRUE(reader.Parse(text));
  return reader;
}

TEST(LinkReaderTest, CommandNeedsAnArgumentLine) {
  EXPECT_EQ(Parsed("goto\n5").Command, TLinkCommand::lcGoto);
  EXPECT_EQ(Parsed("goto\n5").GetArgInt(1), 5);
  EXPECT_EQ(Parsed("goto").Command, TLinkCommand::lcNone);
  EXPECT_EQ(Parsed("goto\n").Command, TLinkCommand::lcNone);
  EXPECT_EQ(Parsed("goto\n").Lines.size(), 1u);
}

TEST(LinkReaderTest, LineFeedsInsideAlwaysSeparate) {
  const TPluginLinkReader reader = Parsed("goto\n\n");
  EXPECT_EQ(reader.Lines, (std::vector<std::string>{"goto", ""}));
  EXPECT_EQ(reader.Command, TLinkCommand::lcGoto);
  EXPECT_EQ(reader.GetArgInt(1), 0);
  EXPECT_EQ(Parsed("open\nbook.pdf\n\n7\n").Lines, (std::vector<std::string>{"open", "book.pdf", "", "7"}));
  EXPECT_TRUE(Parsed("").Lines.empty());
  EXPECT_EQ(Parsed("\n").Lines, (std::vector<std::string>{""}));
}

TEST(LinkReaderTest, CommandWordsAreExact) {
  EXPECT_EQ(Parsed("open\na.pdf\n3").Command, TLinkCommand::lcOpen);
  EXPECT_EQ(Parsed("start\nreadme.txt").Command, TLinkCommand::lcStart);
  EXPECT_EQ(Parsed("web\nhttps://example.org/").Command, TLinkCommand::lcWeb);
  EXPECT_EQ(Parsed("cmd\nx").Command, TLinkCommand::lcCmd);
  EXPECT_EQ(Parsed("unkonwn\nx").Command, TLinkCommand::lcUnknown);
  EXPECT_EQ(Parsed("Goto\n1").Command, TLinkCommand::lcNone);
  EXPECT_EQ(Parsed(" goto\n1").Command, TLinkCommand::lcNone);
  // A carriage return stays on its line, so the word is "goto\r".
  const TPluginLinkReader crlf = Parsed("goto\r\n5");
  EXPECT_EQ(crlf.Command, TLinkCommand::lcNone);
  EXPECT_EQ(crlf.GetArg(0), "goto\r");
}

TEST(LinkReaderTest, ReparsingReplacesEverything) {
  TPluginLinkReader reader;
  reader.Parse("open\na.pdf\n3");
  reader.Parse("goto");
  EXPECT_EQ(reader.Command, TLinkCommand::lcNone);
  EXPECT_EQ(reader.Lines.size(), 1u);
  EXPECT_EQ(reader.GetText(), "goto");
}

TEST(LinkReaderTest, ArgumentsOutOfRangeAreEmpty) {
  const TPluginLinkReader reader = Parsed("open\nbook.pdf\n12");
  EXPECT_EQ(reader.GetArg(1), "book.pdf");
  EXPECT_EQ(reader.GetArg(-1), "");
  EXPECT_EQ(reader.GetArg(3), "");
  EXPECT_EQ(reader.GetArgInt(3), 0);
  EXPECT_EQ(reader.GetArgInt(-1), 0);
  EXPECT_EQ(reader.GetArgInt(2), 12);
}

TEST(LinkReaderTest, IntegerArgumentsMustBeWholeLines) {
  const TPluginLinkReader reader =
      Parsed("goto\n  -42\n+7\n12abc\n5\r\n2147483647\n2147483648\n-2147483648\n-\n\n 3 \n$10");
  EXPECT_EQ(reader.GetArgInt(1), -42);
  EXPECT_EQ(reader.GetArgInt(2), 7);
  EXPECT_EQ(reader.GetArgInt(3), 0);  // letters after the digits
  EXPECT_EQ(reader.GetArgInt(4), 0);  // a carriage return after the digits
  EXPECT_EQ(reader.GetArgInt(5), 2147483647);
  EXPECT_EQ(reader.GetArgInt(6), 0);  // beyond 32 bits
  EXPECT_EQ(reader.GetArgInt(7), -2147483647 - 1);
  EXPECT_EQ(reader.GetArgInt(8), 0);   // a sign alone
  EXPECT_EQ(reader.GetArgInt(9), 0);   // empty
  EXPECT_EQ(reader.GetArgInt(10), 0);  // a trailing blank
  EXPECT_EQ(reader.GetArgInt(11), 0);  // no hex here
}

TEST(LinkReaderTest, HugeNumbersDoNotOverflow) {
  EXPECT_EQ(Parsed("goto\n99999999999999999999999999").GetArgInt(1), 0);
}

TEST(LinkReaderTest, GetTextOfTheBaseAndTheReader) {
  const TPluginLinkInfo info;
  EXPECT_EQ(info.GetText(), "unknown\rinvalid\rabstract");
  const TPluginLinkReader reader = Parsed("web\nhttps://example.org/\n");
  const TPluginLinkInfo& asInfo = reader;
  EXPECT_EQ(asInfo.GetText(), "web\nhttps://example.org/\n");
}

}  // namespace
