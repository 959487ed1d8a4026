// The table of open documents: the choice of plug-in, sharing, reference
// counts, and the order of shutdown.
#include <gtest/gtest.h>

#include <filesystem>

#include "PluginFixtures.h"
#include "platform/Cp1251.h"
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

TEST_F(FileManagerTest, NamesDifferingInCaseAreTwoFilesAndTwoDocuments) {
  Start({"fake_djvu"});
  TPluginDocument* upper = FileManager->Open(MakeDocument("Doc.djvu", "djvu", 2));
  TPluginDocument* lower = FileManager->Open(MakeDocument("doc.djvu", "djvu", 5));
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  EXPECT_NE(upper, lower);
  EXPECT_EQ(upper->PageCount(), 2);
  EXPECT_EQ(lower->PageCount(), 5);
  // Each document leaves the table by itself, not by its namesake's name.
  lower->AddRef();
  lower->Release();
  EXPECT_EQ(FileManager->DocumentCount(), 1);
  EXPECT_EQ(FileManager->Open(Folder() + "Doc.djvu"), upper);
}

TEST_F(FileManagerTest, OneFileUnderAnyNameIsOneDocument) {
  Start({"fake_djvu"});
  const std::string path = MakeDocument("book.djvu", "djvu");
  TPluginDocument* document = FileManager->Open(path);
  ASSERT_NE(document, nullptr);
  std::filesystem::create_symlink(path, Folder() + "alias.djvu");
  std::filesystem::create_hard_link(path, Folder() + "hard.djvu");
  EXPECT_EQ(FileManager->Open(Folder() + "alias.djvu"), document);
  EXPECT_EQ(FileManager->Open(Folder() + "hard.djvu"), document);
  EXPECT_EQ(FileManager->Open(Folder() + "./book.djvu"), document);
  EXPECT_EQ(FileManager->Find(Folder() + "hard.djvu"), document);
  EXPECT_EQ(FileManager->DocumentCount(), 1);
}

TEST_F(FileManagerTest, NamesCp1251CannotSpellGoThroughTheLaterExport) {
  Start({"fake_djvu"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  TPluginDocument* cyrillic = FileManager->Open(MakeDocument("Книга.djvu", "djvu"));
  ASSERT_NE(cyrillic, nullptr);
  EXPECT_EQ(djvu.Utf8OpenCalls, 0);
  for (const std::string name : {"Ελληνικά.djvu", "日本 語.djvu", "Книга €™.djvu"}) {
    const int before = djvu.Utf8OpenCalls;
    TPluginDocument* document = FileManager->Open(MakeDocument(name, "djvu"));
    ASSERT_NE(document, nullptr) << name;
    EXPECT_EQ(document->FileName(), Folder() + name);
    // "€" and "™" are in cp1251: only the names it cannot spell take the later export.
    EXPECT_EQ(djvu.Utf8OpenCalls - before, name.find("Книга") == 0 ? 0 : 1) << name;
  }
}

TEST_F(FileManagerTest, AnOlderPluginOpensCp1251NamesAndLogsTheOthers) {
  Start({"fake_version1"});
  EXPECT_NE(FileManager->Open(MakeDocument("Книга.djvu", "djvu")), nullptr);
  EXPECT_THROW(FileManager->Open(MakeDocument("日本.djvu", "djvu")), Exception);
  EXPECT_NE(
      LogText().find("its name has letters outside Windows-1251 and the plug-in is older than version 2"),
      std::string::npos)
      << LogText();
}

TEST_F(FileManagerTest, TheFakePluginReadsItsPathsAsTheRealOnesDo) {
  // The viewer's cp1251 spelling opens; the file system's bytes handed to the
  // cp1251 export do not, and neither does a folder.
  TPlugin plugin;
  ASSERT_TRUE(plugin.Load(FakeVariant("fake_djvu")));
  const std::string utf8 = MakeDocument("Книга.djvu", "djvu");
  const auto opens = [&](auto open, const std::string& path) {
    const TPluginHandle handle = plugin.CreateDocument();
    TDocumentSetupRec setup{};
    plugin.SetupDocument(handle, &setup);
    const bool opened = open(handle, path.c_str()) != 0;
    plugin.DestroyDocument(handle);
    return opened;
  };
  EXPECT_TRUE(opens(plugin.OpenDocument, Utf8ToCp1251(utf8)));
  EXPECT_FALSE(opens(plugin.OpenDocument, utf8));
  EXPECT_TRUE(opens(plugin.OpenDocumentUtf8, utf8));
  EXPECT_FALSE(opens(plugin.OpenDocumentUtf8, Utf8ToCp1251(utf8)));
  EXPECT_FALSE(opens(plugin.OpenDocument, Folder()));
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
