// The shell's "open" and the open dialog's filter: what reaches the desktop's
// handler, and what never does.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

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

TEST(ShellTest, MailAddressesLoseTheParametersThatAttachFiles) {
  EXPECT_EQ(ShellUrl("mailto:a@example.org?subject=Hi&attach=/etc/passwd&body=x&Attachment=~/.ssh/id_rsa"),
            QUrl("mailto:a@example.org?subject=Hi&body=x"));
  EXPECT_EQ(ShellUrl("mailto:a@example.org?attach=/etc/passwd"), QUrl("mailto:a@example.org"));
  EXPECT_EQ(ShellUrl("mailto:a@example.org?cc=b@example.org"), QUrl("mailto:a@example.org?cc=b@example.org"));
}

// A document's link never starts a program: a file the desktop would run
// rather than show is refused with a message naming it; the rest pass, their
// names as the file system spells them.
TEST(ShellTest, ProgramsLaunchersAndInstallersAreRefused) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  const auto write = [&](const std::string& name, const std::string& bytes, bool executable = false) {
    std::ofstream(folder + name, std::ios::binary) << bytes;
    if (executable) ::chmod((folder + name).c_str(), 0755);
    return folder + name;
  };
  std::vector<QUrl> urls;
  SetShellHandler([&](const QUrl& url) {
    urls.push_back(url);
    return true;
  });
  const std::vector<std::string> refused = {
      write("notes.txt", "plain text that may be run", true),
      write("program",
            "\x7F"
            "ELF\x02\x01\x01"),
      write("script.txt", "#!/bin/sh\nid\n"),
      write("setup.exe", "MZ\x90"),
      write("app.desktop", "[Desktop Entry]\nExec=id\n"),
      write("launcher", "[Desktop Entry]\nExec=id\n"),
      write("tool.jar", std::string("PK\x03\x04", 4) + "META-INF/MANIFEST.MF")};
  std::filesystem::create_symlink("/bin/sh", folder + "shell link.txt");
  std::vector<std::string> all = refused;
  all.push_back(folder + "shell link.txt");
  for (const std::string& path : all) {
    try {
      ShellOpenFile(path);
      ADD_FAILURE() << path << " was handed to the desktop";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
    }
  }
  EXPECT_THROW(ShellOpen("notes.txt", folder), Exception);
  EXPECT_TRUE(urls.empty());

  const std::string cp1251 = write("\xCF\xF0\xE8\xEC\xE5\xF0.txt", "text");  // "Пример.txt" in cp1251
  const std::string document = write("Ελληνικά.pdf", "%PDF-1.4");
  EXPECT_TRUE(ShellOpenFile(cp1251));
  EXPECT_TRUE(ShellOpenFile(document));
  ASSERT_EQ(urls.size(), 2u);
  EXPECT_EQ(urls[0].toEncoded(), "file://" + QByteArray::fromStdString(cp1251).toPercentEncoding("/"));
  EXPECT_EQ(urls[1], QUrl::fromLocalFile(QString::fromStdString(document)));
  SetShellHandler(nullptr);
  std::filesystem::remove(cp1251);  // Qt cannot remove a name that is no UTF-8
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
