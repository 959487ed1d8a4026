// The link commands of the main window: goto, open, start, web, cmd, and a
// real click on a link area of the page.
#include <gtest/gtest.h>

#include <QDir>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "ViewFormTest.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

class ViewFormLinksTest : public ViewFormTest {
 protected:
  void SetUp() override {
    ViewFormTest::SetUp();
    book = Document("book.djvu", 5);
    StartOn(book);
  }
  std::string book;
};

TEST_F(ViewFormLinksTest, GotoMovesToThePage) {
  Link("goto\n3");
  EXPECT_EQ(form->CurrentPage, 3);
  EXPECT_EQ(View().PageIndex(), 3);
  EXPECT_EQ(form->CurrentFile, book);
}

TEST_F(ViewFormLinksTest, GotoBeyondTheDocumentShowsItsNearestPage) {
  Link("goto\n99");
  EXPECT_EQ(form->CurrentPage, 5);
  EXPECT_TRUE(View().Active());
  Link("goto\n0");
  EXPECT_EQ(form->CurrentPage, 1);
  EXPECT_TRUE(View().Active());
  EXPECT_FALSE(form->Button("btnPrevPage")->isEnabled());
}

TEST_F(ViewFormLinksTest, OpenShowsTheOtherDocumentAtItsPageUnderItsBareName) {
  const std::string other = Document("other.djvu", 4);
  Link("open\n" + other + "\n2");
  EXPECT_EQ(form->CurrentFile, other);
  EXPECT_EQ(form->CurrentPage, 2);
  EXPECT_EQ(View().PageIndex(), 2);
  EXPECT_EQ(form->Caption(), "other");
}

TEST_F(ViewFormLinksTest, OpenFindsARelativeNameBesideTheCurrentDocument) {
  Document("other.djvu", 4);
  ASSERT_NE(QDir::currentPath().toStdString() + "/", Folder());
  Link("open\nother.djvu\n1");
  EXPECT_EQ(form->CurrentFile, Folder() + "other.djvu");
  EXPECT_TRUE(View().Active());
}

TEST_F(ViewFormLinksTest, OpenToAMissingFileKeepsThePageAndNamesTheFile) {
  Link("goto\n3");
  const std::string caption = form->Caption();
  Link("open\n" + Folder() + "absent.djvu\n2");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], Format("Файл %s отсутствует"_cp.c_str(), Folder() + "absent.djvu"));
  EXPECT_EQ(form->CurrentFile, book);
  EXPECT_EQ(form->CurrentPage, 3);
  EXPECT_EQ(form->Caption(), caption);
  EXPECT_TRUE(View().Active());
  EXPECT_EQ(View().PageIndex(), 3);
}

TEST_F(ViewFormLinksTest, OpenFollowsACyrillicNameWithSpaces) {
  Document("Глава 2.djvu", 4);
  Link("open\n" + "Глава 2.djvu"_cp + "\n2");
  EXPECT_EQ(form->CurrentFile, Folder() + "Глава 2.djvu");
  EXPECT_EQ(form->Caption(), "Глава 2"_cp);
  EXPECT_EQ(View().PageIndex(), 2);
  EXPECT_TRUE(View().Active());
  EXPECT_TRUE(messages.empty());
}

TEST_F(ViewFormLinksTest, OpenWithAPageThatIsNoNumberShowsTheFirstPage) {
  const std::string other = Document("other.djvu", 4);
  Link("open\n" + other + "\nlast");
  EXPECT_EQ(form->CurrentPage, 1);
  EXPECT_TRUE(View().Active());
}

TEST_F(ViewFormLinksTest, StartOpensASupportedFileFromTheDocumentsFolder) {
  Document("next.djvu", 2);
  Link("start\nnext.djvu");
  EXPECT_EQ(form->CurrentFile, Folder() + "next.djvu");
  EXPECT_EQ(form->Caption(), "next");
  EXPECT_TRUE(shellUrls.empty());
}

TEST_F(ViewFormLinksTest, StartReportsAMissingFileAndChangesNothing) {
  Link("start\nabsent.djvu");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], Format("Файл %s отсутствует"_cp.c_str(), Folder() + "absent.djvu"));
  EXPECT_EQ(form->CurrentFile, book);
  EXPECT_TRUE(View().Active());
  EXPECT_TRUE(shellUrls.empty());
}

TEST_F(ViewFormLinksTest, StartHandsOtherFilesToTheShellFromTheDocumentsFolder) {
  std::ofstream(Folder() + "notes.txt") << "notes";
  std::ofstream(Folder() + "clip.avi") << "not a document";
  Link("start\nnotes.txt");
  Link("start\nclip.avi");
  ASSERT_EQ(shellUrls.size(), 2u);
  EXPECT_EQ(shellUrls[0], QUrl::fromLocalFile(QString::fromStdString(Folder() + "notes.txt")));
  EXPECT_EQ(shellUrls[1], QUrl::fromLocalFile(QString::fromStdString(Folder() + "clip.avi")));
  EXPECT_EQ(form->CurrentFile, book);
}

TEST_F(ViewFormLinksTest, LinksToFilesThatCannotBeReadSayWhy) {
  std::filesystem::create_directory(Folder() + "chapter.djvu");
  std::ofstream{Folder() + "empty.djvu"};
  Link("open\n" + Folder() + "chapter.djvu\n1");
  Link("start\nempty.djvu");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0],
            Format("Не удалось открыть [%s]: это папка, а не файл"_cp.c_str(), Folder() + "chapter.djvu"));
  EXPECT_EQ(messages[1], Format("Не удалось открыть файл [%s]: он пуст"_cp.c_str(), Folder() + "empty.djvu"));
  EXPECT_EQ(form->CurrentFile, book);
  EXPECT_TRUE(View().Active());
}

// A plug-in of version 3 names files by their bytes, where a backslash is a
// letter; an older one in cp1251, where it separates folders.
TEST_F(ViewFormLinksTest, NativeLinkNamesAreTakenAsTheyStand) {
  const std::string literal = Document("a\\b.djvu");
  const std::string nested = Document("a/b.djvu");
  Link("start\na\\b.djvu", true);
  EXPECT_EQ(form->CurrentFile, literal);
  Link("start\na\\b.djvu");
  EXPECT_EQ(form->CurrentFile, nested);
  Link("open\n" + Folder() + "a\\b.djvu\n2", true);
  EXPECT_EQ(form->CurrentFile, literal);
  EXPECT_EQ(form->CurrentPage, 2);
  EXPECT_TRUE(messages.empty());
}

// A "start" link never starts a program, and a mail address carries no file.
TEST_F(ViewFormLinksTest, StartNeverStartsAProgramAndMailCarriesNoFile) {
  std::ofstream(Folder() + "run.txt") << "#!/bin/sh\nid\n";
  try {
    Link("start\nrun.txt");
    ADD_FAILURE() << "the script was handed to the desktop";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find(Folder() + "run.txt"), std::string::npos) << e.Message();
  }
  Link("web\nmailto:a@example.org?attach=/etc/passwd&subject=x");
  ASSERT_EQ(shellUrls.size(), 1u);
  EXPECT_EQ(shellUrls[0], QUrl("mailto:a@example.org?subject=x"));
}

TEST_F(ViewFormLinksTest, WebHandsTheAddressToTheShell) {
  Link("web\nhttps://example.org/rules");
  ASSERT_EQ(shellUrls.size(), 1u);
  EXPECT_EQ(shellUrls[0], QUrl("https://example.org/rules"));
}

TEST_F(ViewFormLinksTest, WebDropsOneLeadingBackslash) {
  Link("web\n\\http://example.org/");
  Link("web\n\\\\share.html");
  ASSERT_EQ(shellUrls.size(), 2u);
  EXPECT_EQ(shellUrls[0], QUrl("http://example.org/"));
  // The second backslash stays: a path from the root.
  EXPECT_EQ(shellUrls[1], QUrl::fromLocalFile("/share.html"));
}

TEST_F(ViewFormLinksTest, WebRefusesSchemesThatStartPrograms) {
  EXPECT_THROW(Link("web\njavascript:alert(1)"), Exception);
  EXPECT_THROW(Link("web\nsmb://host/x.exe"), Exception);
  EXPECT_TRUE(shellUrls.empty());
}

TEST_F(ViewFormLinksTest, CmdAndUnknownCommandsDoNothing) {
  Link("goto\n2");
  Link("cmd\nrm -rf /");
  Link("launch\nx");
  EXPECT_EQ(form->CurrentPage, 2);
  EXPECT_EQ(form->CurrentFile, book);
  EXPECT_TRUE(shellUrls.empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(ViewFormLinksTest, ClickingALinkAreaOfThePageRunsItsCommand) {
  // The fake page 1 links "goto\n2" from its rectangle 10..30 x 40..50 mm of 100 x 150 mm.
  const QPoint onLink(View().Width() * 20 / 100, View().Height() * 45 / 150);
  QTest::mouseMove(&View(), QPoint(1, 1));
  QTest::mouseMove(&View(), onLink);
  QTest::mousePress(&View(), Qt::LeftButton, {}, onLink);
  QTest::mouseRelease(&View(), Qt::LeftButton, {}, onLink);
  EXPECT_EQ(form->CurrentPage, 2);
  EXPECT_TRUE(form->Button("btnPrevPage")->isEnabled());
}

}  // namespace
