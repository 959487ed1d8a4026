// The shell's "open" and the open dialog's filter: what reaches the desktop's
// handler, and what never does.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/Cp1251.h"
#include "platform/OpenDialog.h"
#include "platform/Shell.h"
#include "platform/StrUtils.h"

namespace {

TEST(ShellTest, WebAndMailAddressesPassAsTheyStand) {
  EXPECT_EQ(ShellUrl("https://example.org/a?b=1"), QUrl("https://example.org/a?b=1"));
  EXPECT_EQ(ShellUrl("HTTP://example.org/"), QUrl("http://example.org/"));
  EXPECT_EQ(ShellUrl("mailto:someone@example.org"), QUrl("mailto:someone@example.org"));
}

TEST(ShellTest, OtherSchemesAreRefused) {
  for (const char* target :
       {"javascript:alert(1)", "smb://host/share/x.exe", "data:text/html,x", "ms-settings:"}) {
    EXPECT_THROW(ShellUrl(target), Exception) << target;
  }
}

TEST(ShellTest, FilesBecomeAbsolutePathsAgainstTheFolder) {
  EXPECT_EQ(ShellUrl("notes.txt", "/docs/book"), QUrl::fromLocalFile("/docs/book/notes.txt"));
  EXPECT_EQ(ShellUrl("..\\other\\a.txt", "/docs/book/"), QUrl::fromLocalFile("/docs/other/a.txt"));
  EXPECT_EQ(ShellUrl("/abs/a.txt", "/docs"), QUrl::fromLocalFile("/abs/a.txt"));
  EXPECT_EQ(ShellUrl("a.txt"), QUrl::fromLocalFile(QDir::current().absoluteFilePath("a.txt")));
}

TEST(ShellTest, FileNamesAreFoundIgnoringCaseAndKeepTheirLetters) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString name = QString::fromUtf8("Заметки.TXT");
  QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
  const std::string folder = QStringToCp1251(dir.path());
  EXPECT_EQ(ShellUrl("заметки.txt"_cp, folder), QUrl::fromLocalFile(dir.filePath(name)));
}

TEST(ShellTest, TheReplacedHandlerGetsTheUrlAndItsAnswerIsReturned) {
  std::vector<QUrl> urls;
  SetShellHandler([&](const QUrl& url) {
    urls.push_back(url);
    return false;
  });
  EXPECT_FALSE(ShellOpen("https://example.org/"));
  SetShellHandler(nullptr);
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0], QUrl("https://example.org/"));
}

TEST(OpenDialogTest, FiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters("Files|*.*"), "Files (*.*)");
  EXPECT_EQ(QtNameFilters("Docs|*.pdf;*.djvu|All|*.*"), "Docs (*.pdf *.djvu);;All (*.*)");
  EXPECT_EQ(QtNameFilters(""), "");
}

TEST(OpenDialogTest, TheHookAnswersInsteadOfTheDialog) {
  SetOpenDialogHook([](TOpenDialog& dialog) {
    dialog.FileName = "/chosen/" + dialog.Filter;
    return true;
  });
  TOpenDialog dialog;
  dialog.Filter = "x";
  EXPECT_TRUE(dialog.Execute());
  SetOpenDialogHook(nullptr);
  EXPECT_EQ(dialog.FileName, "/chosen/x");
}

}  // namespace
