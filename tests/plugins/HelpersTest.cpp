// The plug-ins' own helpers: link texts, book description, page text and
// the pixel writer, where hostile or odd input meets them.
#include <QDomDocument>

#include "platform/Cp1251.h"
#include "plugins/common/BookOutline.h"
#include "plugins/common/LinkText.h"
#include "plugins/common/PageTextBuilder.h"
#include "plugins/common/PixelWriter.h"
#include "tests/plugins/PluginFixtures.h"

TEST(LinkTextTest, ArgumentsCannotAddLinesOfTheirOwn) {
  EXPECT_EQ(WebLinkText("https://example.org/\ngoto\n5"), "web\nhttps://example.org/goto5");
  EXPECT_EQ(FileLinkText("/docs/book.pdf", "notes\r\n.txt", 0), "start\nnotes.txt");
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
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "http://example.org"), "web\nhttp://example.org");
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "100%.pdf"), "start\n100%.pdf");
}

TEST(LinkTextTest, WebAddressesAreAsciiAndFilesAreRelativeToTheDocument) {
  EXPECT_EQ(WebLinkText(" https://example.org/правила "),
            "web\nhttps://example.org/%D0%BF%D1%80%D0%B0%D0%B2%D0%B8%D0%BB%D0%B0");
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "mailto:someone@example.org"), "web\nmailto:someone@example.org");
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "file:///docs/sub/ch2.djvu"), "start\nsub/ch2.djvu");
  EXPECT_EQ(UriLinkText("/docs/book.pdf", "../other/Глава.pdf"), "start\n../other/" + "Глава"_cp + ".pdf");
  EXPECT_EQ(FileLinkText("/docs/book.pdf", "/elsewhere/b.pdf", 0), "start\n../elsewhere/b.pdf");
  // With a page the viewer opens the file by name: it gets the full path.
  EXPECT_EQ(FileLinkText("/docs/book.pdf", "./sub/../b.pdf", 7), "open\n/docs/b.pdf\n7");
  EXPECT_EQ(FileLinkText("/Книги/book.pdf", "Глава.pdf", 2), "open\n" + "/Книги/Глава.pdf"_cp + "\n2");
  // A folder cp1251 cannot spell stays out of the link: the name goes relative to the document.
  EXPECT_EQ(FileLinkText("/日本/book.pdf", "Глава.pdf", 2), "open\n" + "Глава.pdf"_cp + "\n2");
  EXPECT_EQ(FileLinkText("/日本/sub/book.pdf", "../b.pdf", 1), "open\n../b.pdf\n1");
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
