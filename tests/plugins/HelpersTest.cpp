// The plug-ins' own helpers: link texts, book description, page text and
// the pixel writer, where hostile or odd input meets them.
#include <QDomDocument>
#include <algorithm>

#include "platform/Cp1251.h"
#include "plugins/common/BookOutline.h"
#include "plugins/common/LinkText.h"
#include "plugins/common/PageTextBuilder.h"
#include "plugins/common/PixelWriter.h"
#include "tests/plugins/PluginFixtures.h"

namespace {

// The cp1251 spelling of a link text, or "none" when there is no link.
std::string Ansi(const std::optional<TLinkText>& text) {
  return text ? text->Ansi : "none";
}

std::string Native(const std::optional<TLinkText>& text) {
  return text ? text->Native : "none";
}

}  // namespace

TEST(LinkTextTest, ArgumentsCannotAddLinesOfTheirOwn) {
  EXPECT_EQ(Ansi(WebLinkText("https://example.org/\ngoto\n5")), "web\nhttps://example.org/goto5");
  // Every byte of a name belongs to it: a name no line can carry gives no link.
  EXPECT_EQ(FileLinkText("/docs/book.pdf", "notes\r\n.txt", 0), std::nullopt);
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "file:///docs/a%0Agoto%0A5.pdf"), std::nullopt);
}

// An address that leads nowhere gives no link text, so the page shows no link
// there (no link cursor over an area that does nothing when clicked).
TEST(LinkTextTest, InvalidOrEmptyAddressesGiveNoLink) {
  for (const char* address : {"http://[::1", "http://host:99999/", "http://exa mple.com/", "http://%zz",
                              "http://", "mailto:", "https:// ", ""}) {
    EXPECT_EQ(WebLinkText(address), std::nullopt) << address;
    EXPECT_EQ(UriLinkText("/docs/book.pdf", address), std::nullopt) << address;
  }
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "  \r\n "), std::nullopt);
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "file://otherhost/docs/a.pdf"), std::nullopt);
  EXPECT_EQ(Ansi(UriLinkText("/docs/book.pdf", "http://example.org")), "web\nhttp://example.org");
  // Without a scheme a name is no URL: "%" is a letter of it.
  EXPECT_EQ(Ansi(UriLinkText("/docs/book.pdf", "100%.pdf")), "start\n100%.pdf");
}

TEST(LinkTextTest, WebAddressesAreAsciiAndFilesAreRelativeToTheDocument) {
  EXPECT_EQ(Native(WebLinkText(" https://example.org/правила ")),
            "web\nhttps://example.org/%D0%BF%D1%80%D0%B0%D0%B2%D0%B8%D0%BB%D0%B0");
  EXPECT_EQ(Ansi(UriLinkText("/docs/book.pdf", "mailto:someone@example.org")),
            "web\nmailto:someone@example.org");
  EXPECT_EQ(Ansi(UriLinkText("/docs/book.pdf", "file:///docs/sub/ch2.djvu")), "start\nsub/ch2.djvu");
  EXPECT_EQ(Ansi(UriLinkText("/docs/book.pdf", "../other/Глава.pdf")),
            "start\n../other/" + "Глава"_cp + ".pdf");
  EXPECT_EQ(Ansi(FileLinkText("/docs/book.pdf", "/elsewhere/b.pdf", 0)), "start\n../elsewhere/b.pdf");
  // With a page the viewer opens the file by name: it gets the full path.
  EXPECT_EQ(Ansi(FileLinkText("/docs/book.pdf", "./sub/../b.pdf", 7)), "open\n/docs/b.pdf\n7");
  EXPECT_EQ(Ansi(FileLinkText("/Книги/book.pdf", "Глава.pdf", 2)), "open\n" + "/Книги/Глава.pdf"_cp + "\n2");
  // A folder cp1251 cannot spell stays out of the cp1251 link: the name goes relative to the document.
  EXPECT_EQ(Ansi(FileLinkText("/日本/book.pdf", "Глава.pdf", 2)), "open\n" + "Глава.pdf"_cp + "\n2");
  EXPECT_EQ(Ansi(FileLinkText("/日本/sub/book.pdf", "../b.pdf", 1)), "open\n../b.pdf\n1");
}

// The spelling of ReadActiveRectsUtf8 names every file as its bytes stand:
// any script, bytes that are no UTF-8, backslashes and leading dashes.
TEST(LinkTextTest, NativeLinkTextsNameFilesByTheirBytes) {
  EXPECT_EQ(Native(FileLinkText("/日本/book.pdf", "Ελληνικά.pdf", 2)), "open\n/日本/Ελληνικά.pdf\n2");
  EXPECT_EQ(Native(FileLinkText("/日本/book.pdf", "/日本/Ελληνικά.pdf", 0)), "start\nΕλληνικά.pdf");
  const std::string cp1251 = "\xCF\xF0\xE8\xEC\xE5\xF0.pdf";  // "Пример.pdf" in cp1251 bytes
  EXPECT_EQ(Native(UriLinkText("/docs/book.pdf", "file:///docs/%CF%F0%E8%EC%E5%F0.pdf")), "start\n" + cp1251);
  EXPECT_EQ(Native(UriLinkText("/docs/book.pdf", cp1251)), "start\n" + cp1251);
  EXPECT_EQ(Native(FileLinkText("/docs/book.pdf", "-back\\slash .pdf", 3)),
            "open\n/docs/-back\\slash .pdf\n3");
  EXPECT_EQ(Native(UriLinkText("/docs/book.pdf", "file:/docs/a%20b%23.pdf#page=2")), "start\na b#.pdf");
}

TEST(LinkTextTest, BytePathsAreCleanedAndMadeRelative) {
  EXPECT_EQ(CleanPath("/a/./b//c/../d"), "/a/b/d");
  EXPECT_EQ(CleanPath("/../x"), "/x");
  EXPECT_EQ(RelativePath("/a/b", "/a/c/d"), "../c/d");
  EXPECT_EQ(RelativePath("/a/b", "/a/b/\xFF"), "\xFF");
  EXPECT_EQ(RelativePath("/", "/x/y"), "x/y");
}

namespace {

std::string Xml(const TBookOutline& outline) {
  const std::string xml = BookDescriptionXml(outline);
  QDomDocument document;
  EXPECT_TRUE(document.setContent(Cp1251ToQString(xml))) << xml;
  return xml;
}

}  // namespace

TEST(BookOutlineTest, EscapesNamesAndDropsControlCharacters) {
  TBookOutline outline{"Tom & \"Jerry\" <1>", "A\x01uthor", 5, {{"a<b", 2, {}}}};
  EXPECT_EQ(
      Xml(outline),
      "<BOOKFOLDER VERSION=\"1\"><BOOK NAME=\"Tom &amp; &quot;Jerry&quot; &lt;1&gt;\" AUTHOR=\"Author\">"
      "<PAGES BEG=\"2\" NAME=\"a&lt;b\" END=\"5\"/></BOOK></BOOKFOLDER>");
}

// The description is cp1251; what it cannot spell goes in as character
// references, so entries naming files in any script arrive whole.
TEST(BookOutlineTest, NamesInAnyScriptArriveWhole) {
  const std::string greek = "Ελληνικά.pdf", japanese = "日本 €𝄞", cyrillic = "Глава";
  const TBookOutline outline{japanese, "", 3, {{greek, 1, {}}, {cyrillic, 2, {}}}};
  const std::string xml = Xml(outline);
  EXPECT_NE(xml.find("NAME=\"&#x395;&#x3BB;"), std::string::npos) << xml;
  EXPECT_NE(xml.find("NAME=\"" + Utf8ToCp1251(cyrillic) + "\""), std::string::npos) << xml;
  QDomDocument document;
  ASSERT_TRUE(document.setContent(Cp1251ToQString(xml)));
  const QDomElement book = document.documentElement().firstChildElement("BOOK");
  EXPECT_EQ(book.attribute("NAME").toStdString(), japanese);
  EXPECT_EQ(book.firstChildElement("PAGES").attribute("NAME").toStdString(), greek);
  EXPECT_EQ(book.lastChildElement("PAGES").attribute("NAME").toStdString(), cyrillic);
}

TEST(BookOutlineTest, ItemsLeadingNowhereKeepOnlyTheirChildren) {
  TBookOutline outline{"B", "", 9, {{"Part", 0, {{"One", 3, {}}, {"Away", 12, {}}}}, {"Nowhere", 0, {}}}};
  EXPECT_EQ(Xml(outline),
            "<BOOKFOLDER VERSION=\"1\"><BOOK NAME=\"B\"><PAGEFOLDER NAME=\"Part\">"
            "<PAGES BEG=\"3\" NAME=\"One\" END=\"9\"/></PAGEFOLDER></BOOK></BOOKFOLDER>");
}

TEST(PageTextBuilderTest, SpacesSpanTheGapAndLinesEndInLineFeeds) {
  TPageTextBuilder builder;
  builder.AddWord("Да", {{10, 10, 12, 14}, {12, 10, 14, 14}});
  builder.AddSpace();
  builder.AddWord("€", {{20, 11, 22, 15}});
  builder.AddSpace();  // dropped: the line ends
  builder.EndLine();
  builder.AddWord("日x", {{10, 20, 12, 24}});
  const TPageText text = builder.Take();
  EXPECT_EQ(text.Text, "Да"_cp + " \x88\n?x");
  ASSERT_EQ(text.Rects.size(), text.Text.size());
  EXPECT_EQ(text.Rects[2].Left, 14);
  EXPECT_EQ(text.Rects[2].Right, 20);
  EXPECT_EQ(text.Rects[2].Top, 10);
  EXPECT_EQ(text.Rects[2].Bottom, 15);
  EXPECT_EQ(text.Rects[4].Right, 0);  // the line feed
  EXPECT_EQ(text.Rects[6].Right, 0);  // no rectangle was given for "x"
}

TEST(PixelWriterTest, MonoRowsLeaveTheBitsBeyondTheRectangle) {
  QImage picture(10, 2, QImage::Format_RGB32);
  picture.fill(Qt::black);
  picture.setPixel(1, 0, qRgb(255, 255, 255));
  std::vector<uint8_t> bits(4, 0x00);
  bits[1] = 0x3F;
  bits[3] = 0x3F;
  TBlitRec target{};
  target.Bits = bits.data();
  target.Stride = 2;
  target.BitsSize = 4;
  WritePixels(picture, FOLIO_PIXELS_MONO, target);
  EXPECT_EQ(bits, (std::vector<uint8_t>{0xBF, 0xFF, 0xFF, 0xFF}));
  target.BitsSize = 3;
  EXPECT_THROW(WritePixels(picture, FOLIO_PIXELS_MONO, target), Exception);
}

namespace {

// Rows of format code, stride bytes apart, for picture; the target holds
// fill everywhere before.
std::vector<uint8_t> Written(const QImage& picture, int32_t code, int stride, uint8_t fill) {
  std::vector<uint8_t> bits(std::size_t(stride) * std::size_t(picture.height()), fill);
  TBlitRec target{};
  target.Bits = bits.data();
  target.Stride = stride;
  target.BitsSize = int32_t(bits.size());
  WritePixels(picture, code, target);
  return bits;
}

// Counts the pixels of picture whose bytes in every row format differ from
// what the formats mean: rgbx B G R 0, rgb B G R, grey Luma, mono Luma >= 128,
// first pixel in the highest bit.
int64_t WrongPixels(const QImage& picture) {
  const int w = picture.width(), strides[] = {4 * w + 4, 3 * w + 5, w + 3, (w + 7) / 8 + 2};
  const auto rgbx = Written(picture, FOLIO_PIXELS_RGBX, strides[0], 0xA5);
  const auto rgb = Written(picture, FOLIO_PIXELS_RGB, strides[1], 0xA5);
  const auto grey = Written(picture, FOLIO_PIXELS_GREY, strides[2], 0xA5);
  const auto mono = Written(picture, FOLIO_PIXELS_MONO, strides[3], 0xA5);
  int64_t wrong = 0;
  for (int y = 0; y < picture.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    const uint8_t* x4 = &rgbx[std::size_t(y) * strides[0]];
    const uint8_t* x3 = &rgb[std::size_t(y) * strides[1]];
    const uint8_t* g = &grey[std::size_t(y) * strides[2]];
    const uint8_t* m = &mono[std::size_t(y) * strides[3]];
    for (int x = 0; x < w; ++x) {
      const QRgb p = row[x];
      const bool dark = m[x / 8] & (0x80 >> (x % 8));
      wrong += x4[4 * x] != qBlue(p) || x4[4 * x + 1] != qGreen(p) || x4[4 * x + 2] != qRed(p) ||
               x4[4 * x + 3] != 0 || x3[3 * x] != qBlue(p) || x3[3 * x + 1] != qGreen(p) ||
               x3[3 * x + 2] != qRed(p) || g[x] != Luma(p) || dark != (Luma(p) >= 128);
    }
    // What lies beyond a row's pixels is not ours.
    const auto spare = [](const uint8_t* end, int n) { return std::count(end, end + n, 0xA5) != n; };
    wrong += spare(x4 + 4 * w, 4) || spare(x3 + 3 * w, 5) || spare(g + w, 3) || spare(m + (w + 7) / 8, 2);
    if (w % 8) wrong += (m[w / 8] & (0xFF >> (w % 8))) != (0xA5 & (0xFF >> (w % 8)));
  }
  return wrong;
}

}  // namespace

// Each set of row loops this machine runs: the baseline everywhere, AVX2
// wherever the processor has it.
class RowLoopsTest : public testing::TestWithParam<TRowLoops> {
 protected:
  void SetUp() override {
    bool runs = true;
#if defined(__x86_64__) && defined(__GNUC__)
    if (GetParam() == TRowLoops::Avx2) runs = __builtin_cpu_supports("avx2");
#else
    if (GetParam() == TRowLoops::Avx2) runs = false;
#endif
    ASSERT_EQ(UseRowLoops(GetParam()), runs);
    if (!runs) GTEST_SKIP() << "this processor has no AVX2";
  }
  // Back to the fastest set, which the other tests use.
  void TearDown() override { ASSERT_TRUE(UseRowLoops(TRowLoops::Avx2) || UseRowLoops(TRowLoops::Baseline)); }
};

INSTANTIATE_TEST_SUITE_P(EverySet, RowLoopsTest, testing::Values(TRowLoops::Baseline, TRowLoops::Avx2),
                         [](const auto& info) { return info.param == TRowLoops::Avx2 ? "Avx2" : "Baseline"; });

TEST_P(RowLoopsTest, EveryColourConvertsByTheFormatsRules) {
  // 4096 x 4096 pixels hold every colour once.
  QImage picture(4096, 4096, QImage::Format_RGB32);
  for (int y = 0; y < 4096; ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < 4096; ++x) row[x] = qRgb(y >> 4, (y & 15) << 4 | x >> 8, x & 255);
  }
  EXPECT_EQ(WrongPixels(picture), 0);
}

TEST_P(RowLoopsTest, RowsOfEveryWidthEndWhereTheirPixelsEnd) {
  // Widths around the bulk loops' steps and the mono writer's chunks.
  for (const int width : {1, 3, 7, 8, 9, 15, 17, 31, 32, 33, 63, 511, 512, 513, 1029}) {
    QImage picture(width, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb(x * 37 + y, x * 11 ^ y * 91, x * 53));
    EXPECT_EQ(WrongPixels(picture), 0) << width;
  }
}
