// The book description made of a document's outline.
#include <QDomDocument>

#include "platform/Cp1251.h"
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

std::vector<std::string> Description(const std::string& format, const std::string& file) {
  const TPluginApi& api = Plugin(format);
  TDocument document(api, SamplePath(file));
  EXPECT_TRUE(document.Opened());
  const char* text = nullptr;
  int32_t length = 0;
  EXPECT_TRUE(api.GetTableOfContents(document.Handle(), &text, &length));
  if (!text) return {};
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
            (std::vector<std::string>{"BOOKFOLDER", "BOOK[Links sample]", "PAGES[Start,1]",
                                      "PAGEFOLDER[Second]", "PAGES[Second,2]", "PAGES[Detail,2-2]"}));
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
