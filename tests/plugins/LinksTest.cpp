// Link areas and their link texts, read as the viewer reads them.
#include <QFile>
#include <QProcess>
#include <filesystem>
#include <fstream>

#include "platform/Cp1251.h"
#include "tests/plugins/PluginFixtures.h"

namespace {

std::vector<std::string> Texts(const std::vector<TLink>& links) {
  std::vector<std::string> texts;
  for (const TLink& link : links) texts.push_back(link.Text);
  return texts;
}

}  // namespace

using LinksTest = PluginTest;

TEST_F(LinksTest, PdfLinksJumpOpenStartAndBrowse) {
  const TPluginApi& api = Plugin("pdf");
  TDocument document(api, SamplePath("links.pdf"));
  ASSERT_TRUE(document.Opened());
  const std::vector<TLink> links = TContext(api, document, 1).Links();
  EXPECT_EQ(Texts(links),
            (std::vector<std::string>{"goto\n2", "web\nhttps://example.org/rules",
                                      "open\n" + SamplePath("sample.pdf") + "\n2", "start\nnotes.txt"}));
  ASSERT_EQ(links.size(), 4u);
  // The first area, [58 496 260 514] in points on a 595-point-high page.
  ASSERT_EQ(links[0].Points.size(), 2u);
  EXPECT_NEAR(links[0].Points[0].X, 58 * 25.4 / 72, 0.01);
  EXPECT_NEAR(links[0].Points[0].Y, (595 - 514) * 25.4 / 72, 0.01);
  EXPECT_NEAR(links[0].Points[1].X, 260 * 25.4 / 72, 0.01);
  EXPECT_NEAR(links[0].Points[1].Y, (595 - 496) * 25.4 / 72, 0.01);
  EXPECT_EQ(Texts(TContext(api, document, 2).Links()), std::vector<std::string>{"goto\n1"});
}

// Each link area of links.pdf lies over its Russian caption, whose letters
// are drawn there.
TEST_F(LinksTest, PdfLinkCaptionsAreRussianAndLieInTheirAreas) {
  const TPluginApi& api = Plugin("pdf");
  TDocument document(api, SamplePath("links.pdf"));
  ASSERT_TRUE(document.Opened());
  TPage page(api, document, 1);
  page.FitWidth(420);
  const TContext context(api, document, 1);
  const std::vector<TLink> links = context.Links();
  ASSERT_EQ(links.size(), 4u);
  const char* captions[] = {"На страницу 2", "Правила в интернете", "Вторая страница образца", "Заметки"};
  for (std::size_t i = 0; i < links.size(); ++i) {
    const std::string caption = Utf8ToCp1251(captions[i]);
    EXPECT_NE(context.Text().find(caption), std::string::npos) << Cp1251ToUtf8(context.Text());
    const std::string last = caption.substr(caption.rfind(' ') + 1);
    const TPluginRect word = context.WordRect(last);
    EXPECT_GT(word.Right, word.Left) << captions[i];
    EXPECT_GE(word.Left, links[i].Points[0].X) << captions[i];
    EXPECT_LE(word.Right, links[i].Points[1].X) << captions[i];
    const QImage ink = page.Render(page.Pixels(word));
    int dark = 0;
    for (int y = 0; y < ink.height(); ++y)
      for (int x = 0; x < ink.width(); ++x) dark += qGray(ink.pixel(x, y)) < 128;
    EXPECT_GT(dark, ink.width()) << captions[i] << ": its letters are not drawn";
  }
}

// An address that leads nowhere makes no link area, so the viewer shows no
// link cursor over it; the valid link beside it stays.
TEST_F(LinksTest, PdfLinkWithAnInvalidAddressMakesNoArea) {
  const auto link = [](const std::string& rect, const std::string& uri) {
    return "<< /Type /Annot /Subtype /Link /Rect [" + rect + "] /A << /S /URI /URI (" + uri + ") >> >>";
  };
  const TScratchFile file(
      HandMadePdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                   "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Annots [4 0 R 5 0 R 6 0 R] >>",
                   link("10 10 100 50", "http://[::1"), link("10 100 100 150", "http://example.org/"),
                   link("10 200 100 250", "http://")}));
  const TPluginApi& api = Plugin("pdf");
  TDocument document(api, file.Path());
  ASSERT_TRUE(document.Opened());
  EXPECT_EQ(Texts(TContext(api, document, 1).Links()), std::vector<std::string>{"web\nhttp://example.org/"});
}

TEST_F(LinksTest, PdfWebLinkLiesOverItsText) {
  const TPluginApi& api = Plugin("pdf");
  TDocument document(api, SamplePath("sample.pdf"));
  ASSERT_TRUE(document.Opened());
  const TContext context(api, document, 1);
  const std::vector<TLink> links = context.Links();
  ASSERT_EQ(Texts(links), std::vector<std::string>{"web\nhttps://example.org/rules"});
  const TPluginRect text = context.WordRect("https://example.org/rules");
  const double middleX = (text.Left + text.Right) / 2, middleY = (text.Top + text.Bottom) / 2;
  EXPECT_LT(links[0].Points[0].X, middleX);
  EXPECT_GT(links[0].Points[1].X, middleX);
  EXPECT_LT(links[0].Points[0].Y, middleY);
  EXPECT_GT(links[0].Points[1].Y, middleY);
}

TEST_F(LinksTest, DjvuHyperlinksBecomeAreasWithLinkTexts) {
  const TPluginApi& api = Plugin("djvu");
  TDocument document(api, SamplePath("sample.djvu"));
  ASSERT_TRUE(document.Opened());
  const TContext first(api, document, 1);
  const std::vector<TLink> links = first.Links();
  // The third names page 2 by its file inside the bundle.
  ASSERT_EQ(Texts(links), (std::vector<std::string>{"goto\n2", "web\nhttps://example.org/rules", "goto\n2"}));
  // The area of "Далее" is the word's box.
  const TPluginRect word = first.WordRect("Далее"_cp);
  ASSERT_EQ(links[0].Points.size(), 2u);
  EXPECT_NEAR(links[0].Points[0].X, word.Left, 0.2);
  EXPECT_NEAR(links[0].Points[0].Y, word.Top, 0.2);
  EXPECT_NEAR(links[0].Points[1].X, word.Right, 0.2);
  EXPECT_NEAR(links[0].Points[1].Y, word.Bottom, 0.2);

  const TContext second(api, document, 2);
  const std::vector<TLink> back = second.Links();
  ASSERT_EQ(Texts(back), (std::vector<std::string>{"goto\n1", "start\nsample.pdf"}));
  // An oval is a polygon inside the box of "Назад".
  const TPluginRect box = second.WordRect("Назад"_cp);
  EXPECT_GT(back[0].Points.size(), 8u);
  for (const TPluginPoint& point : back[0].Points) {
    EXPECT_GE(point.X, box.Left - 0.2);
    EXPECT_LE(point.X, box.Right + 0.2);
    EXPECT_GE(point.Y, box.Top - 0.2);
    EXPECT_LE(point.Y, box.Bottom + 0.2);
  }
}

TEST_F(LinksTest, VertexArraysAndTextBuffersAreChecked) {
  const TPluginApi& api = Plugin("djvu");
  TDocument document(api, SamplePath("sample.djvu"));
  ASSERT_TRUE(document.Opened());
  const TContext context(api, document, 2);
  int32_t count = 0;
  ASSERT_TRUE(api.ReadActiveRects(context.Handle(), 0, &count, nullptr, nullptr, 0));
  ASSERT_GT(count, 2);
  std::vector<TPluginPoint> points(std::size_t(count) + 1);
  // An array sized for another count is not filled.
  int32_t other = count + 1;
  EXPECT_FALSE(api.ReadActiveRects(context.Handle(), 0, &other, points.data(), nullptr, 0));
  EXPECT_EQ(points[0].X, 0);
  // A small text buffer gets the start of the text, ended by a NUL.
  char text[4] = {'x', 'x', 'x', 'x'};
  ASSERT_TRUE(api.ReadActiveRects(context.Handle(), 0, &count, points.data(), text, 4));
  EXPECT_STREQ(text, "got");
  EXPECT_FALSE(api.ReadActiveRects(context.Handle(), 2, &count, nullptr, nullptr, 0));
  EXPECT_FALSE(api.ReadActiveRects(context.Handle(), -1, &count, nullptr, nullptr, 0));
  EXPECT_FALSE(api.ReadActiveRects(context.Handle(), 0, nullptr, nullptr, nullptr, 0));
}

// --- Links to files of any name ---

namespace {

// A PDF text string that holds any character: UTF-16 with its byte-order mark.
std::string PdfText(const QString& text) {
  std::string hex = "<FEFF";
  for (const QChar c : text) hex += QString::asprintf("%04X", c.unicode()).toStdString();
  return hex + ">";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Percent(const std::string& bytes) {
  return QByteArray::fromStdString(bytes).toPercentEncoding("/").toStdString();
}

// "Пример" in cp1251 and in KOI8-R bytes, as old archives unpack.
const std::string kCp1251 = "\xCF\xF0\xE8\xEC\xE5\xF0";
const std::string kKoi8 = "\xF0\xD2\xC9\xCD\xC5\xD2";

class LinkNamesTest : public PluginTest {
 protected:
  // The document lies in a folder cp1251 cannot spell; others lie beside it.
  void SetUp() override {
    PluginTest::SetUp();
    top_ = folder_.Path();
    std::filesystem::create_directories(top_ + "/日本");
    document_ = top_ + "/日本/book.";
  }
  std::string Top() const { return top_; }
  std::string Folder() const { return top_ + "/日本/"; }

  TScratchFolder folder_;
  std::string top_;
  std::string document_;
};

}  // namespace

TEST_F(LinkNamesTest, PdfLinksNameGreekJapaneseAndCyrillicFilesRelativeAndAbsolute) {
  const auto annot = [](int n, const std::string& action) {
    return "<< /Type /Annot /Subtype /Link /Rect [10 " + std::to_string(700 - 60 * n) + " 200 " +
           std::to_string(740 - 60 * n) + "] /A " + action + " >>";
  };
  const std::string greekFar = Top() + "/Ελληνικά/日本.pdf";
  const std::string path = document_ + "pdf";
  WriteFile(
      path,
      HandMadePdf(
          {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
           "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Annots [4 0 R 5 0 R 6 0 R 7 0 R 8 0 R "
           "9 0 R] >>",
           annot(0, "<< /S /GoToR /F " + PdfText("Ελληνικά.pdf") + " /D [0 /Fit] >>"),
           annot(1, "<< /S /GoToR /F " + PdfText(QString::fromStdString(greekFar)) + " /D [1 /Fit] >>"),
           annot(2, "<< /S /Launch /F (Пример.pdf) >>"),
           annot(3, "<< /S /URI /URI (file://" + Percent(Folder() + kCp1251) + ".pdf) >>"),
           annot(4, "<< /S /URI /URI (file:" + Percent(kKoi8) + ".djvu) >>"),
           annot(5, "<< /S /URI /URI (file://" + Percent(Top() + "/Книги/Глава.djvu") + ") >>")}));
  const TPluginApi& api = Plugin("pdf");
  const TDocument document(api, path, true);
  ASSERT_TRUE(document.Opened());
  const TContext context(api, document, 1);
  EXPECT_EQ(Texts(context.Links(true)),
            (std::vector<std::string>{"open\n" + Folder() + "Ελληνικά.pdf\n1", "open\n" + greekFar + "\n2",
                                      "start\nПример.pdf", "start\n" + kCp1251 + ".pdf",
                                      "start\n" + kKoi8 + ".djvu", "start\n../Книги/Глава.djvu"}));
  // The cp1251 spelling of older viewers keeps what it can spell.
  const std::vector<std::string> ansi = Texts(context.Links());
  ASSERT_EQ(ansi.size(), 6u);
  EXPECT_EQ(ansi[2], "start\n" + "Пример.pdf"_cp);
  EXPECT_EQ(ansi[5], "start\n" + "../Книги/Глава.djvu"_cp);
}

TEST_F(LinkNamesTest, DjvuLinksNameGreekJapaneseAndCyrillicFilesRelativeAndAbsolute) {
  const std::string path = document_ + "djvu";
  ASSERT_TRUE(QFile::copy(QString::fromStdString(SamplePath("sample.djvu")), QString::fromStdString(path)));
  const std::string greekFar = Top() + "/Ελληνικά/日本.djvu";
  const std::vector<std::string> targets = {"Ελληνικά.pdf", greekFar, kCp1251 + ".pdf",
                                            "file:" + Percent(kKoi8) + ".djvu",
                                            "file://" + Percent(Top() + "/Книги/Глава.djvu")};
  std::string annotations;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    std::string quoted;
    // Octal escapes carry every byte into the annotation as it stands.
    for (const unsigned char c : targets[i]) quoted += QString::asprintf("\\%03o", c).toStdString();
    annotations +=
        "(maparea \"" + quoted + "\" \"\" (rect 10 " + std::to_string(100 * i + 10) + " 200 50))\n";
  }
  WriteFile(Top() + "/links.ant", annotations);
  ASSERT_EQ(QProcess::execute(
                "djvused", {"-s", "-e", QString::fromStdString("select 1; set-ant " + Top() + "/links.ant"),
                            QString::fromStdString(path)}),
            0);
  const TPluginApi& api = Plugin("djvu");
  const TDocument document(api, path, true);
  ASSERT_TRUE(document.Opened());
  EXPECT_EQ(Texts(TContext(api, document, 1).Links(true)),
            (std::vector<std::string>{"start\nΕλληνικά.pdf", "start\n../Ελληνικά/日本.djvu",
                                      "start\n" + kCp1251 + ".pdf", "start\n" + kKoi8 + ".djvu",
                                      "start\n../Книги/Глава.djvu"}));
}
