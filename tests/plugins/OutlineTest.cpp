// The book description made of a document's outline.
#include <QDomDocument>
#include <QXmlStreamReader>
#include <algorithm>

#include "platform/Cp1251.h"
#include "plugins/common/BackendDocument.h"
#include "tests/plugins/PluginFixtures.h"

namespace {

// Each element as TAG[NAME,BEG-END] in document order.
void Flatten(const QDomElement& element, std::vector<std::string>& out) {
  std::string entry = element.tagName().toStdString();
  if (element.hasAttribute("NAME")) entry += "[" + QStringToCp1251(element.attribute("NAME"));
  if (element.hasAttribute("BEG")) entry += "," + element.attribute("BEG").toStdString();
  if (element.hasAttribute("END")) entry += "-" + element.attribute("END").toStdString();
  if (element.hasAttribute("NAME")) entry += "]";
  out.push_back(entry);
  for (auto child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
    Flatten(child, out);
}

// The book description the plug-in makes of the document at path; empty,
// with a failure, when it makes none.
std::string TableOfContents(const std::string& format, const std::string& path) {
  const TPluginApi& api = Plugin(format);
  TDocument document(api, path);
  EXPECT_TRUE(document.Opened());
  const char* text = nullptr;
  int32_t length = 0;
  EXPECT_TRUE(api.GetTableOfContents(document.Handle(), &text, &length));
  return text ? std::string(text, std::size_t(length)) : std::string();
}

std::vector<std::string> Description(const std::string& format, const std::string& file) {
  const std::string text = TableOfContents(format, SamplePath(file));
  if (text.empty()) return {};
  QDomDocument xml;
  EXPECT_TRUE(xml.setContent(Cp1251ToQString(text))) << text;
  EXPECT_EQ(xml.documentElement().attribute("VERSION"), "1");
  std::vector<std::string> flat;
  Flatten(xml.documentElement(), flat);
  return flat;
}

}  // namespace

using OutlineTest = PluginTest;

TEST_F(OutlineTest, PdfOutlineBecomesFoldersAndPageRanges) {
  EXPECT_EQ(Description("pdf", "links.pdf"),
            (std::vector<std::string>{
                "BOOKFOLDER", "BOOK[" + "Образец ссылок"_cp + "]", "PAGES[" + "Начало"_cp + ",1]",
                "PAGEFOLDER[" + "Вторая страница"_cp + "]", "PAGES[" + "Вторая страница"_cp + ",2]",
                "PAGES[" + "Подробности"_cp + ",2-2]"}));
}

// Outline entries may name files cp1251 cannot spell; the description
// carries them as character references.
TEST_F(OutlineTest, PdfOutlineEntriesInAnyScriptArriveWhole) {
  const TScratchFile file(HandMadePdf({"<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>",
                                       "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                       "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] >>",
                                       "<< /Type /Outlines /First 5 0 R /Last 5 0 R /Count 1 >>",
                                       // "Ελληνικά.pdf" as UTF-16
                                       "<< /Title <FEFF039503BB03BB03B703BD03B903BA03AC002E007000640066> "
                                       "/Parent 4 0 R /Dest [3 0 R /Fit] >>"}));
  const std::string text = TableOfContents("pdf", file.Path());
  QDomDocument xml;
  ASSERT_TRUE(xml.setContent(Cp1251ToQString(text))) << text;
  EXPECT_EQ(xml.documentElement().firstChildElement("BOOK").firstChildElement("PAGES").attribute("NAME"),
            QString::fromUtf8("Ελληνικά.pdf"));
}

TEST_F(OutlineTest, DocumentWithoutOutlineIsOneRange) {
  EXPECT_EQ(Description("pdf", "sample.pdf"),
            (std::vector<std::string>{"BOOKFOLDER", "BOOK[" + "Образец документа"_cp + "]",
                                      "PAGES[" + "Образец документа"_cp + ",1-3]"}));
}

TEST_F(OutlineTest, DjvuBookmarksInCp1251) {
  EXPECT_EQ(Description("djvu", "sample.djvu"),
            (std::vector<std::string>{"BOOKFOLDER", "BOOK[sample]", "PAGES[" + "Первая страница"_cp + ",1]",
                                      "PAGEFOLDER[" + "Вторая страница"_cp + "]",
                                      "PAGES[" + "Вторая страница"_cp + ",2]",
                                      "PAGES[" + "Подраздел"_cp + ",2-3]"}));
}

TEST_F(OutlineTest, RefusesMissingPlaces) {
  const TPluginApi& api = Plugin("pdf");
  TDocument document(api, SamplePath("links.pdf"));
  ASSERT_TRUE(document.Opened());
  int32_t length = 0;
  EXPECT_FALSE(api.GetTableOfContents(document.Handle(), nullptr, &length));
  const char* text = nullptr;
  EXPECT_FALSE(api.GetTableOfContents(document.Handle() + 1, &text, &length));
  EXPECT_EQ(text, nullptr);
}

// An outline nested 20,000 levels deep (each item the only child of the one
// before) is read 64 levels deep, without recursing further, and the log says
// it was cut. The description stays within what the viewer reads.
TEST_F(OutlineTest, DeeplyNestedPdfOutlineIsCutAtItsDepthLimit) {
  constexpr int kLevels = 20000;
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>",
                                      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] >>",
                                      "<< /Type /Outlines /First 5 0 R /Last 5 0 R /Count 1 >>"};
  for (int level = 0; level < kLevels; ++level) {
    const int self = 5 + level, parent = level == 0 ? 4 : self - 1;
    std::string item = "<< /Title (L" + std::to_string(level + 1) + ") /Parent " + std::to_string(parent) +
                       " 0 R /Dest [3 0 R /Fit]";
    if (level + 1 < kLevels)
      item +=
          " /First " + std::to_string(self + 1) + " 0 R /Last " + std::to_string(self + 1) + " 0 R /Count 1";
    objects.push_back(item + " >>");
  }
  const TScratchFile file(HandMadePdf(objects));
  const std::string text = TableOfContents("pdf", file.Path());
  QXmlStreamReader xml(QByteArray::fromStdString(text));
  int depth = 0, deepest = 0, folders = 0;
  while (!xml.atEnd()) {
    const auto token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) deepest = std::max(deepest, ++depth);
    if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("PAGEFOLDER")) ++folders;
    if (token == QXmlStreamReader::EndElement) --depth;
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  // Levels 1 to 63 hold a child each and become folders; level 64 is a range.
  EXPECT_EQ(folders, kMaxOutlineDepth - 1);
  EXPECT_EQ(deepest, 2 + kMaxOutlineDepth);
  EXPECT_NE(text.find("NAME=\"L64\""), std::string::npos);
  EXPECT_EQ(text.find("NAME=\"L65\""), std::string::npos);
  ASSERT_FALSE(PluginLog().empty());
  EXPECT_EQ(PluginLog().back(), "pdf: the outline of [" + file.Path() +
                                    "] nests more than 64 levels deep; the deeper entries are left out\n");
}
