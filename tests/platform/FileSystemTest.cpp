// Paths and folders: case-insensitive look-up of Windows-style paths,
// Cyrillic names, listing, reading files, and the path helpers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "platform/StringList.h"

namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  // Creates a file (UTF-8 relative name) with the given bytes; returns its cp1251 path.
  std::string MakeFile(const QString& relative, const std::string& bytes = "x") {
    const QString full = dir_.filePath(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), qint64(bytes.size()));
    return QStringToCp1251(full);
  }
  void MakeFolder(const QString& relative) { QDir().mkpath(dir_.filePath(relative)); }
  // The temp dir as a cp1251 path with a trailing '/'.
  std::string Root() const { return QStringToCp1251(dir_.path()) + "/"; }

  QTemporaryDir dir_;
};

}  // namespace

TEST_F(FileSystemTest, ResolvesWindowsPathIgnoringCase) {
  MakeFile("imgs/checkbox.bmp");
  const std::string expected = Root() + "imgs/checkbox.bmp";
  EXPECT_EQ(ResolvePath(Root() + "IMGS\\Checkbox.BMP"), expected);
  EXPECT_TRUE(FileExists(Root() + "IMGS\\Checkbox.BMP"));
  EXPECT_TRUE(DirectoryExists(Root() + "Imgs\\"));
  EXPECT_EQ(ResolvePath(Root() + "IMGS\\"), Root() + "imgs/");
}

TEST_F(FileSystemTest, RelativeBackslashPathsResolveAgainstCurrentFolder) {
  MakeFile("imgs/Skin.png");
  const QString old = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  EXPECT_EQ(ResolvePath(".\\IMGS\\skin.PNG"), "./imgs/Skin.png");
  EXPECT_EQ(ResolvePath("imgs\\SKIN.png"), "imgs/Skin.png");
  QDir::setCurrent(old);
}

TEST_F(FileSystemTest, ExactNameWinsAndMissingPartsStayAsWritten) {
  MakeFile("a/Note.txt", "upper");
  MakeFile("a/note.txt", "lower");
  EXPECT_EQ(ResolvePath(Root() + "a/note.txt"), Root() + "a/note.txt");
  EXPECT_EQ(ReadTextFile(Root() + "A\\Note.txt", 64), "upper");
  EXPECT_EQ(ResolvePath(Root() + "A\\missing\\x.txt"), Root() + "a/missing/x.txt");
  EXPECT_EQ(NativePath(Root() + "A\\New.png"), QStringToCp1251(dir_.path()) + "/a/New.png")
      << "a file to be created goes into the folder that exists";
  EXPECT_FALSE(FileExists(Root() + "a/nothing.txt"));
}

TEST_F(FileSystemTest, CyrillicNamesMatchAcrossCaseAndEncoding) {
  MakeFile(QString::fromUtf8("docs/Легко/Ёлка.cml"), "<~~~>");
  const std::string asked = Root() + "DOCS\\легко\\ёЛКА.CML"_cp;
  EXPECT_TRUE(FileExists(asked));
  EXPECT_EQ(ResolvePath(asked), Root() + "docs/Легко/Ёлка.cml"_cp);
  EXPECT_EQ(ReadTextFile(asked, 64), "<~~~>");
  EXPECT_EQ(NativePath(asked), QStringToCp1251(dir_.path()) + "/docs/" + "Легко/Ёлка.cml");
  EXPECT_EQ(ListFolders(Root() + "docs"), std::vector<std::string>{"Легко"_cp});
  EXPECT_EQ(ListFiles(Root() + "docs\\легко\\"_cp, "*.cml"), std::vector<std::string>{"Ёлка.cml"_cp});
}

TEST_F(FileSystemTest, FileExistsMeansRegularFile) {
  MakeFolder("folder.cml");
  MakeFile("file.cml");
  EXPECT_FALSE(FileExists(Root() + "folder.cml"));
  EXPECT_TRUE(DirectoryExists(Root() + "folder.cml"));
  EXPECT_TRUE(FileExists(Root() + "file.cml"));
  EXPECT_FALSE(DirectoryExists(Root() + "file.cml"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(DirectoryExists(""));
}

// A reader's name is never rewritten: a backslash is a letter, and bytes that
// are no UTF-8 match only as they stand.
TEST_F(FileSystemTest, NativeNamesKeepEveryByte) {
  const std::string root = dir_.path().toStdString() + "/";
  std::ofstream(root + "-back\\slash .pdf") << "x";
  std::ofstream(root + "\xCF\xF0\xE8\xEC\xE5\xF0.pdf") << "x";
  EXPECT_TRUE(NativeFileExists(root + "-back\\slash .pdf"));
  EXPECT_FALSE(NativeFileExists(root + "-back/slash .pdf"));
  EXPECT_EQ(ResolveNativePath(root + "-BACK\\SLASH .PDF"), root + "-back\\slash .pdf");
  EXPECT_TRUE(NativeFileExists(root + "\xCF\xF0\xE8\xEC\xE5\xF0.pdf"));
  // Another name of bytes that are no text is another file, even where both would show as "??????".
  EXPECT_FALSE(NativeFileExists(root + "\xF0\xD2\xC9\xCD\xC5\xD2.pdf"));
  EXPECT_EQ(NativeFileName(root + "a\\b.pdf"), "a\\b.pdf");
  EXPECT_EQ(NativeFilePath(root + "a\\b.pdf"), root);
  EXPECT_EQ(NativeFilePath("b.pdf"), "");
  std::filesystem::remove(root + "\xCF\xF0\xE8\xEC\xE5\xF0.pdf");  // Qt cannot remove it
}

TEST_F(FileSystemTest, NativeFileStateTellsWhyAFileCannotBeRead) {
  const std::string root = dir_.path().toStdString() + "/";
  std::ofstream(root + "book.pdf") << "x";
  std::ofstream(root + "empty.pdf");
  ::mkfifo((root + "pipe.pdf").c_str(), 0644);
  std::filesystem::create_directory(root + "folder.pdf");
  EXPECT_EQ(NativeFileState(root + "book.pdf"), TFileState::Readable);
  EXPECT_EQ(NativeFileState(root + "BOOK.pdf"), TFileState::Readable);
  EXPECT_EQ(NativeFileState(root + "missing.pdf"), TFileState::Missing);
  EXPECT_EQ(NativeFileState(""), TFileState::Missing);
  EXPECT_EQ(NativeFileState(root + "empty.pdf"), TFileState::Empty);
  EXPECT_EQ(NativeFileState(root + "pipe.pdf"), TFileState::NotAFile);
  EXPECT_EQ(NativeFileState(root + "folder.pdf"), TFileState::Folder);
  ::chmod((root + "book.pdf").c_str(), 0200);
  // Root reads every file: the reader's view is taken in a child that is nobody.
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (::chmod(root.c_str(), 0755) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(2);
    _exit(NativeFileState(root + "book.pdf") == TFileState::Unreadable ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(FileSystemTest, ListFilesMatchesWildcardIgnoringCaseSorted) {
  MakeFile("b.cml");
  MakeFile("A.CML");
  MakeFile("c.cml.bak");
  MakeFile("d.txt");
  MakeFile("x.cmlx");
  MakeFolder("sub.cml");
  using Names = std::vector<std::string>;
  EXPECT_EQ(ListFiles(Root(), "*.cml"), (Names{"A.CML", "b.cml"}));
  EXPECT_EQ(ListFiles(Root(), "?.TXT"), (Names{"d.txt"}));
  EXPECT_EQ(ListFiles(Root(), "*"), (Names{"A.CML", "b.cml", "c.cml.bak", "d.txt", "x.cmlx"}));
  EXPECT_EQ(ListFolders(Root()), (Names{"sub.cml"}));
  EXPECT_TRUE(ListFiles(Root() + "nowhere", "*").empty());
}

TEST_F(FileSystemTest, UnreadableFolderListsNothing) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  MakeFile("locked/a.cml");
  const QByteArray locked = dir_.filePath("locked").toUtf8();
  ASSERT_EQ(chmod(locked.constData(), 0), 0);
  EXPECT_TRUE(ListFiles(Root() + "locked", "*.cml").empty());
  EXPECT_TRUE(ListFolders(Root() + "locked").empty());
  EXPECT_FALSE(FileExists(Root() + "locked/A.CML"));
  chmod(locked.constData(), 0755);
}

TEST_F(FileSystemTest, ReadTextFileKeepsBytesAndReportsPath) {
  const std::string bytes = "Ёж\r\nline\rend\n\0tail"_cp + std::string(1, '\0');
  const std::string path = MakeFile("t.txt", bytes);
  EXPECT_EQ(ReadTextFile(path, bytes.size()), bytes);

  const std::string missing = Root() + "Нет.txt"_cp;
  try {
    ReadTextFile(missing, 64);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "File not found: " + missing);
  }
  EXPECT_THROW(ReadTextFile(Root(), 64), Exception) << "a folder is not a text file";
}

TEST_F(FileSystemTest, ReadTextFileRefusesAFileOverItsLimitNamingBoth) {
  const std::string bytes(3 << 10, 'x');
  const std::string path = MakeFile("Длинный.txt", bytes);
  EXPECT_EQ(ReadTextFile(path, bytes.size()), bytes) << "a file of exactly the limit is read";
  for (std::size_t limit : {std::size_t(0), std::size_t(2 << 10), bytes.size() - 1}) {
    try {
      ReadTextFile(path, limit);
      FAIL() << "no exception at a limit of " << limit;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), Format("File too large: %s (more than %s)", path,
                                    limit == 0 ? "0 bytes" : limit == 2048 ? "2 KB" : "3071 bytes"));
    }
  }
  TStringList list;
  EXPECT_THROW(list.LoadFromFile(path, 1 << 10), Exception);
  // A file whose size says nothing is still read no further than the limit.
  EXPECT_THROW(ReadTextFile("/proc/self/maps", 16), Exception);
}

TEST_F(FileSystemTest, StringListLoadsLinesOfAnyEnding) {
  const std::string path = MakeFile("contents.txt", "Первый\r\nВторой\rТретий\n"_cp);
  TStringList list;
  list.LoadFromFile(path, 64);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], "Первый"_cp);
  EXPECT_EQ(list[2], "Третий"_cp);
  EXPECT_THROW(list.LoadFromFile(Root() + "none.txt", 64), Exception);
}

TEST(ProgramFolderTest, IsTheTestExecutablesFolder) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(folder, QStringToCp1251(QCoreApplication::applicationDirPath()) + "/");
}

TEST(PathPartsTest, SplitsAtEitherDelimiter) {
  EXPECT_EQ(ExtractFilePath(".\\imgs\\check.png"), ".\\imgs\\");
  EXPECT_EQ(ExtractFilePath("/a/b.c/d"), "/a/b.c/");
  EXPECT_EQ(ExtractFilePath("Go.cml"), "");
  EXPECT_EQ(ExtractFileName("Plugins\\pdf.so"), "pdf.so");
  EXPECT_EQ(ExtractFileName("a/b/"), "");
  EXPECT_EQ(ExtractFileExt("docs\\x.y\\Doc.PDF"), ".PDF");
  EXPECT_EQ(ExtractFileExt("docs.d/README"), "");
  EXPECT_EQ(NormalizePath(".\\imgs\\"), "./imgs/");
}

TEST(PathPartsTest, ChangesExtensionOfNamePartOnly) {
  EXPECT_EQ(ChangeFileExt("imgs\\check.png", ".txt"), "imgs\\check.txt");
  EXPECT_EQ(ChangeFileExt("a.b/file", ".txt"), "a.b/file.txt");
  EXPECT_EQ(ChangeFileExt("x.tar.gz", ""), "x.tar");
}

TEST(PathPartsTest, TrailingDelimiterNeverMakesRoot) {
  EXPECT_EQ(IncludeTrailingPathDelimiter("imgs"), "imgs/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("Plugins\\"), "Plugins\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a/"), "a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(ExtractFilePath("Go.cml")) + "contents.txt", "./contents.txt");
}
