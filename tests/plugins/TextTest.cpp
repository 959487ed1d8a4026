// Page text in cp1251 with one rectangle per character.
#include "platform/Cp1251.h"
#include "tests/plugins/PluginFixtures.h"
#include "tools/sampledocs/SampleText.h"

namespace {

std::string Cp(std::string_view utf8) {
  return Utf8ToCp1251(std::string(utf8));
}

bool Empty(const TPluginRect& r) {
  return r.Left >= r.Right || r.Top >= r.Bottom;
}

}  // namespace

using TextTest = EachPluginTest;

TEST_P(TextTest, HoldsTheWordsOfEachPageInReadingOrder) {
  TDocument document(Api(), Sample());
  ASSERT_TRUE(document.Opened());
  for (int page = 1; page <= 2; ++page) {
    const TContext context(Api(), document, page);
    const std::string text = context.Text();
    const TSamplePage& sample = kSamplePages[std::size_t(page - 1)];
    const std::size_t heading = text.find(Cp(sample.Heading));
    ASSERT_NE(heading, std::string::npos) << Cp1251ToUtf8(text);
    std::size_t previous = heading;
    for (std::string_view line : sample.Lines) {
      const std::size_t at = text.find(Cp(line), previous);
      EXPECT_NE(at, std::string::npos) << line << " in " << Cp1251ToUtf8(text);
      previous = at == std::string::npos ? previous : at;
    }
  }
}

TEST_P(TextTest, EveryCharacterHasItsPlaceOnThePage) {
  TDocument document(Api(), Sample());
  ASSERT_TRUE(document.Opened());
  TPage page(Api(), document, 1);
  const TContext context(Api(), document, 1);
  const std::string text = context.Text();
  const std::vector<TPluginRect> rects = context.Rects();
  ASSERT_FALSE(text.empty());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const TPluginRect& r = rects[i];
    if (text[i] == '\n') {
      EXPECT_TRUE(Empty(r)) << i;
      continue;
    }
    if (text[i] == ' ') continue;
    ASSERT_FALSE(Empty(r)) << "character " << i;
    EXPECT_GE(r.Left, 0);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Right, page.Info().Width);
    EXPECT_LE(r.Bottom, page.Info().Height);
  }
  // The heading stands above the first line, whose words run left to right.
  const TPluginRect heading = context.WordRect(Cp(kSamplePages[0].Heading));
  const TPluginRect first = context.WordRect("Безударную"_cp), second = context.WordRect("гласную"_cp);
  EXPECT_LT(heading.Bottom, first.Bottom);
  EXPECT_LT(first.Right, second.Left + 0.5);
  EXPECT_NEAR(first.Top, second.Top, 1);
}

TEST_P(TextTest, ReadsRectanglesFromAnyCharacterOn) {
  TDocument document(Api(), Sample());
  ASSERT_TRUE(document.Opened());
  const TContext context(Api(), document, 1);
  const std::vector<TPluginRect> all = context.Rects();
  ASSERT_GT(all.size(), 10u);
  // Beyond the text nothing is written: the viewer's zero-filled buffer stays.
  std::vector<TPluginRect> tail(4, TPluginRect{});
  const auto first = int32_t(all.size() - 2);
  Api().ReadRects(context.Handle(), tail.data(), first, 4);
  EXPECT_EQ(tail[0].Left, all[all.size() - 2].Left);
  EXPECT_EQ(tail[1].Bottom, all.back().Bottom);
  EXPECT_EQ(tail[2].Right, 0);
  EXPECT_EQ(tail[3].Right, 0);
  Api().ReadRects(context.Handle(), nullptr, 0, 4);
  Api().ReadRects(context.Handle(), tail.data(), -1, 1);
  EXPECT_EQ(tail[2].Right, 0);
}

TEST_P(TextTest, ContextsRefuseWhatIsNotTheirs) {
  TDocument document(Api(), Sample());
  ASSERT_TRUE(document.Opened());
  EXPECT_FALSE(Api().CreateContext(document.Handle(), nullptr));
  TContextRec record{};
  ASSERT_TRUE(Api().CreateContext(document.Handle(), &record));
  ASSERT_NE(record.Context, 0);
  const char* text = nullptr;
  int32_t length = -1;
  // Before a page is chosen the text is empty.
  ASSERT_TRUE(Api().GetText(record.Context, &text, &length));
  EXPECT_EQ(length, 0);
  EXPECT_FALSE(Api().GetText(record.Context, nullptr, &length));
  TContextSetupRec setup{};
  setup.Page = setup.PageLast = 1;
  setup.Cookie = record.Cookie + 1;
  Api().SetupContext(record.Context, &setup);
  EXPECT_EQ(Api().ReadActiveRectsCount(record.Context), 0);
  setup.Cookie = record.Cookie;
  setup.Page = 99;
  Api().SetupContext(record.Context, &setup);
  ASSERT_TRUE(Api().GetText(record.Context, &text, &length));
  EXPECT_EQ(length, 0);
  Api().SetupContext(record.Context, nullptr);
  Api().DestoryContext(record.Context);
  EXPECT_FALSE(Api().GetText(record.Context, &text, &length));
}

INSTANTIATE_TEST_SUITE_P(Formats, TextTest, ::testing::Values("pdf", "djvu"));
