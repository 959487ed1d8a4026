// The table of open documents: the choice of plug-in, sharing, reference
// counts, and the order of shutdown.
#include <gtest/gtest.h>

#include "PluginFixtures.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginManager.h"

namespace {

class FileManagerTest : public PluginTest {
 protected:
  void Start(const std::vector<std::string>& variants) {
    Install(variants);
    StartPluginLayer(PluginFolder());
  }
  TPlugin* PluginFor(const std::string& format) {
    TPlugin* plugin = nullptr;
    FileManager->PluginManager().FindFormat(format, plugin);
    return plugin;
  }
};

TEST_F(FileManagerTest, MissingFileTouchesNoPlugin) {
  Start({"fake_djvu"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  EXPECT_EQ(FileManager->Open(Folder() + "nothing.djvu"), nullptr);
  EXPECT_EQ(djvu.OpenCalls, 0);
  EXPECT_EQ(djvu.DocumentsAlive, 0);
}

TEST_F(FileManagerTest, DjvuPluginIsAskedFirst) {
  Start({"fake_djvu", "fake_pdf"});
  TFakeCounters& pdf = Counters("fake_pdf.so");
  TPluginDocument* document = FileManager->Open(MakeDocument("any.pdf", "*"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->Plugin(), PluginFor("djvu"));
  EXPECT_EQ(document->PageCount(), 3);
  EXPECT_EQ(pdf.OpenCalls, 0);
}

TEST_F(FileManagerTest, PdfPluginTakesWhatDjvuRefuses) {
  Start({"fake_djvu", "fake_pdf"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  TPluginDocument* document = FileManager->Open(MakeDocument("book.pdf", "pdf"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->Plugin(), PluginFor("pdf"));
  // The refused attempt was cleaned up on the djvu side.
  EXPECT_EQ(djvu.OpenCalls, 1);
  EXPECT_EQ(djvu.DocumentsAlive, 0);
  EXPECT_NE(LogText().find("fake: cannot read [" + Folder() + "book.pdf]"), std::string::npos);
}

TEST_F(FileManagerTest, PdfPluginAloneStillOpensItsFiles) {
  Start({"fake_pdf"});
  EXPECT_NE(FileManager->Open(MakeDocument("book.pdf", "pdf")), nullptr);
}

TEST_F(FileManagerTest, NoPluginForEitherFormatOpensNothing) {
  Start({});
  EXPECT_EQ(FileManager->Open(MakeDocument("book.pdf", "pdf")), nullptr);
}

TEST_F(FileManagerTest, FileEveryPluginRefusesIsAnError) {
  Start({"fake_djvu", "fake_pdf"});
  const std::string path = MakeDocument("empty.pdf", "*", 0);  // no pages: not opened
  try {
    FileManager->Open(path);
    FAIL() << "opened a document without pages";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("[" + path + "]"), std::string::npos);
  }
  EXPECT_EQ(FileManager->DocumentCount(), 0);
}

TEST_F(FileManagerTest, FailingPluginOpensNothing) {
  Start({"fake_throwing"});
  EXPECT_THROW(FileManager->Open(MakeDocument("any.djvu", "*")), Exception);
}

TEST_F(FileManagerTest, SameNameIsOneSharedDocument) {
  Start({"fake_djvu"});
  const std::string path = MakeDocument("Book.djvu", "djvu");
  TPluginDocument* first = FileManager->Open(path);
  ASSERT_NE(first, nullptr);
  const std::string otherCase = Folder() + "BOOK.djvu";
  EXPECT_EQ(FileManager->Open(path), first);
  EXPECT_EQ(FileManager->Open(otherCase), first);
  EXPECT_EQ(FileManager->DocumentCount(), 1);
  EXPECT_EQ(first->InUse(), 0);
}

TEST_F(FileManagerTest, LastReleaseFreesAndForgetsTheDocument) {
  Start({"fake_djvu"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  const std::string path = MakeDocument("a.djvu", "djvu");
  TPluginDocument* document = FileManager->Open(path);
  document->AddRef();
  document->AddRef();
  EXPECT_EQ(document->Release(), 1);
  EXPECT_EQ(djvu.DocumentsAlive, 1);
  EXPECT_EQ(document->Release(), 0);
  EXPECT_EQ(djvu.DocumentsAlive, 0);
  EXPECT_EQ(FileManager->DocumentCount(), 0);

  TPluginDocument* again = FileManager->Open(path);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(djvu.OpenCalls, 2);
}

TEST_F(FileManagerTest, CloseDocumentFreesOnlyWhatNobodyHolds) {
  Start({"fake_djvu"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  const std::string held = MakeDocument("held.djvu", "djvu");
  const std::string idle = MakeDocument("idle.djvu", "djvu");
  FileManager->Open(held)->AddRef();
  FileManager->Open(idle);
  FileManager->CloseDocument(held);
  FileManager->CloseDocument(idle);
  FileManager->CloseDocument(Folder() + "never-opened.djvu");
  EXPECT_EQ(FileManager->DocumentCount(), 1);
  EXPECT_EQ(djvu.DocumentsAlive, 1);
}

TEST_F(FileManagerTest, ShutdownFreesDocumentsBeforeTheirPlugins) {
  Start({"fake_djvu", "fake_pdf"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  TFakeCounters& pdf = Counters("fake_pdf.so");
  FileManager->Open(MakeDocument("1.djvu", "djvu"))->AddRef();
  FileManager->Open(MakeDocument("2.djvu", "djvu"));
  FileManager->Open(MakeDocument("3.pdf", "pdf"));
  ASSERT_EQ(djvu.DocumentsAlive, 2);
  StopPluginLayer();
  EXPECT_EQ(djvu.DocumentsAlive, 0);
  EXPECT_EQ(pdf.DocumentsAlive, 0);
  // Each once: one refused djvu attempt for 3.pdf and three opened documents.
  EXPECT_EQ(djvu.DestroyCalls + pdf.DestroyCalls, 4);
  EXPECT_TRUE(messages.empty());
}

TEST_F(FileManagerTest, DocumentWithoutPluginIsNotOpened) {
  const std::string path = MakeDocument("a.djvu", "djvu");
  TPluginDocument document(nullptr, path);
  EXPECT_FALSE(document.IsOpened());
  EXPECT_EQ(document.PageCount(), -1);
}

}  // namespace
