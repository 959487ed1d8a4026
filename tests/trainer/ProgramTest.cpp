// The program's start: which document it opens, and the program itself run
// in a folder of its own on the offscreen platform, where it either stays up
// or ends with a message and a non-zero exit code.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "tools/artwork/Artwork.h"
#include "trainer/MainForm.h"

namespace {

// A folder to start the program in, made the current folder for one scope.
struct TStartFolder {
  QTemporaryDir dir;
  QString previous = QDir::currentPath();
  TStartFolder() { QDir::setCurrent(dir.path()); }
  ~TStartFolder() { QDir::setCurrent(previous); }
  void Write(const QString& name, const QByteArray& bytes) const {
    QFile file(dir.path() + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
};

struct TRun {
  bool Finished = false;
  int ExitCode = 0;
  std::string Errors;  // UTF-8
};

// Runs the program in folder; one that is still up after a while is ended.
TRun RunProgram(const QString& folder, const QStringList& arguments = {}) {
  QProcess program;
  program.setWorkingDirectory(folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(environment);
  program.start(QUILLON_EXE, arguments);
  EXPECT_TRUE(program.waitForStarted());
  TRun run;
  run.Finished = program.waitForFinished(3000);
  if (!run.Finished) {
    program.kill();
    program.waitForFinished();
  }
  run.ExitCode = program.exitCode();
  run.Errors = program.readAllStandardError().toStdString();
  return run;
}

const QByteArray kDocument = "Header<~~~>Hint<~~~>Body <edit answer=a>.";

}  // namespace

TEST(StartDocument, TheFirstArgumentWhenItNamesAFileElseGoCml) {
  TStartFolder folder;
  QDir(folder.dir.path()).mkdir("folder");
  EXPECT_EQ(StartDocument({}), "");
  EXPECT_EQ(StartDocument({"missing.cml"}), "");
  folder.Write("Go.cml", kDocument);
  folder.Write("other.cml", kDocument);
  EXPECT_EQ(StartDocument({"other.cml", "ignored.cml"}), "other.cml");
  EXPECT_EQ(StartDocument({"missing.cml"}), "Go.cml");
  EXPECT_EQ(StartDocument({"folder"}), "Go.cml");
  EXPECT_EQ(StartDocument({}), "Go.cml");
}

TEST(Program, WithoutADocumentItSaysSoAndEndsWithAnError) {
  TStartFolder folder;
  QDir(folder.dir.path()).mkdir("imgs");
  WriteAllArtwork(folder.dir.path().toStdString() + "/imgs");
  const TRun run = RunProgram(folder.dir.path(), {"missing.cml"});
  ASSERT_TRUE(run.Finished);
  EXPECT_NE(run.ExitCode, 0);
  EXPECT_NE(run.Errors.find("Ошибка: Не указан файл для просмотра"), std::string::npos) << run.Errors;
}

TEST(Program, AMainWindowThatCannotBeBuiltIsReportedAndTheProgramEnds) {
  TStartFolder folder;  // no pictures
  folder.Write("Go.cml", kDocument);
  const TRun run = RunProgram(folder.dir.path());
  ASSERT_TRUE(run.Finished);
  EXPECT_NE(run.ExitCode, 0);
  EXPECT_NE(run.Errors.find("imgs"), std::string::npos) << run.Errors;
}

TEST(Program, OnGoCmlItStaysUp) {
  TStartFolder folder;
  QDir(folder.dir.path()).mkdir("imgs");
  WriteAllArtwork(folder.dir.path().toStdString() + "/imgs");
  folder.Write("Go.cml", kDocument);
  const TRun run = RunProgram(folder.dir.path());
  EXPECT_FALSE(run.Finished) << run.Errors;
  EXPECT_EQ(run.Errors.find("Quillon:"), std::string::npos) << run.Errors;
}
