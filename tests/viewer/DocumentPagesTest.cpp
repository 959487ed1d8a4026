// Documents and their pages: page objects and their list, references, the
// order in which a document gives its handles back, and the book description.
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "viewer/BookDescription.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginManager.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

using DocumentPagesTest = PageTest;

TEST_F(DocumentPagesTest, EveryGetPageMakesItsOwnListedPage) {
  ASSERT_NE(OpenDocument("fake_djvu", 5), nullptr);
  TFakeCounters& counters = Counters("djvu.so");
  TPluginPage2* a = Page(5);
  TPluginPage2* b = Page(5);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_NE(a->Handle(), b->Handle());
  EXPECT_EQ(a->Caption(), "Page 5");
  EXPECT_EQ(document->Pages.Count(), 2);
  EXPECT_EQ(document->Pages.Strings(0), "Page 5");
  EXPECT_EQ(document->InUse(), 2);
  EXPECT_EQ(counters.PagesAlive, 2);

  document->ReleasePage(a);
  EXPECT_EQ(document->Pages.Count(), 1);
  EXPECT_EQ(document->Pages.ObjectAs<TPageNumb>(0)->Page.get(), b);
  EXPECT_EQ(counters.PagesAlive, 1);
  document->ReleasePage(nullptr);
  EXPECT_EQ(document->Pages.Count(), 1);
}

TEST_F(DocumentPagesTest, PageRecordBecomesThePageGeometry) {
  ASSERT_NE(OpenDocument("fake_djvu", 2, 80, 120), nullptr);
  TPluginPage2* page = Page(2);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->PageNumber(), 2);
  EXPECT_DOUBLE_EQ(page->WidthMm(), 80);
  EXPECT_DOUBLE_EQ(page->HeightMm(), 120);
  EXPECT_EQ(page->NativeWidth(), 160);
  EXPECT_EQ(page->RenderWidth(), 160);
  EXPECT_EQ(page->RenderHeight(), 240);
  EXPECT_EQ(page->PixelFormatCode(), FOLIO_PIXELS_RGBX);
}

TEST_F(DocumentPagesTest, PageThePluginRefusesIsAnException) {
  ASSERT_NE(OpenDocument("fake_djvu", 2), nullptr);
  try {
    Page(3);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              "this should not happen. unable create page - file " + Folder() + "book.djvu damaged");
  }
  EXPECT_EQ(document->Pages.Count(), 0);
}

TEST_F(DocumentPagesTest, LastReleaseFreesTheDocumentAndItsPages) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TFakeCounters& counters = Counters("djvu.so");
  document->AddRef();
  document->AddRef();
  Page(1);
  Page(2);
  EXPECT_EQ(document->Release(), 1);
  EXPECT_EQ(FileManager->DocumentCount(), 1);
  EXPECT_EQ(document->Release(), 0);
  EXPECT_EQ(FileManager->DocumentCount(), 0);
  EXPECT_EQ(counters.PagesAlive, 0);
  EXPECT_EQ(counters.DocumentsAlive, 0);
  // The next open of that file makes a new document.
  TPluginDocument* again = FileManager->Open(Folder() + "book.djvu");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->InUse(), 0);
  EXPECT_EQ(counters.DocumentsAlive, 1);
}

TEST_F(DocumentPagesTest, ShutdownGivesPagesAndContextsBack) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TFakeCounters& counters = Counters("djvu.so");
  Page(1)->GetText();  // makes a context
  EXPECT_EQ(counters.ContextsAlive, 1);
  StopPluginLayer();
  EXPECT_EQ(counters.PagesAlive, 0);
  EXPECT_EQ(counters.ContextsAlive, 0);
  EXPECT_EQ(counters.DocumentsAlive, 0);
}

TEST_F(DocumentPagesTest, DocumentWithoutPagesIsNotOpened) {
  EXPECT_THROW(OpenDocument("fake_djvu", 0), Exception);
  // Made directly, it stays unopened and hands out no page.
  TPlugin* plugin = nullptr;
  ASSERT_TRUE(FileManager->PluginManager().FindFormat("djvu", plugin));
  TPluginDocument unopened(plugin, Folder() + "book.djvu");
  EXPECT_FALSE(unopened.IsOpened());
  EXPECT_EQ(unopened.GetPage(1), nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "TPluginDocument.GetPage: плагин не установлен doc:["_cp + Folder() + "book.djvu] page№ [1]"_cp);
  std::unique_ptr<TTOC> toc;
  EXPECT_FALSE(unopened.GetTableOfContents(toc));
  EXPECT_EQ(toc, nullptr);
}

TEST_F(DocumentPagesTest, BookDescriptionComesFromThePlugin) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  std::unique_ptr<TTOC> toc;
  ASSERT_TRUE(document->GetTableOfContents(toc));
  ASSERT_NE(toc, nullptr);
  ASSERT_EQ(toc->Root()->Tag, "BOOKFOLDER");
  ASSERT_EQ(toc->Root()->Children.size(), 1u);
  EXPECT_EQ(toc->Root()->Children[0]->Name, "Fake");
}

TEST_F(DocumentPagesTest, PluginWithoutContextsHasNoBookDescription) {
  ASSERT_NE(OpenDocument("fake_render_only"), nullptr);
  std::unique_ptr<TTOC> toc;
  EXPECT_FALSE(document->GetTableOfContents(toc));
  EXPECT_EQ(toc, nullptr);
}

}  // namespace
