// The course converter: what reaches the trainer must be exact cp1251 with
// Windows line ends, and a character it cannot carry must stop the build.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "tools/cp1251/Cp1251Text.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ErrorOf(const std::string& utf8) {
  try {
    Utf8TextToCp1251(utf8);
  } catch (const Exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(Cp1251Text, CyrillicLineRoundTripsWithItsBytes) {
  const std::string line = "Ёлка, ёж и Щука — «Съешь же ещё этих мягких булок»!";
  const std::string cp = Utf8TextToCp1251(line);
  EXPECT_EQ(Cp1251ToUtf8(cp), line);
  EXPECT_EQ(cp.substr(0, 4), "\xA8\xEB\xEA\xE0");        // Ёлка
  EXPECT_EQ(cp.size(), QString::fromUtf8(line).size());  // one byte a character
}

TEST(Cp1251Text, WritesWindowsLineEndsWithoutDoublingThem) {
  EXPECT_EQ(Utf8TextToCp1251("а\nб\n"), "\xE0\r\n\xE1\r\n");
  EXPECT_EQ(Utf8TextToCp1251("а\r\nб"), "\xE0\r\n\xE1");
  EXPECT_EQ(Utf8TextToCp1251("\n\n"), "\r\n\r\n");
  EXPECT_EQ(Utf8TextToCp1251(""), "");
}

TEST(Cp1251Text, DropsOnlyALeadingByteOrderMark) {
  EXPECT_EQ(Utf8TextToCp1251("\xEF\xBB\xBFЯ"), "\xDF");
  EXPECT_NE(ErrorOf("Я\xEF\xBB\xBF"), "");
}

TEST(Cp1251Text, KeepsARealQuestionMark) {
  EXPECT_EQ(Utf8TextToCp1251("Кто?"), "\xCA\xF2\xEE?");
}

TEST(Cp1251Text, RejectsACharacterWithNoFormNamingItsLine) {
  const std::string message = ErrorOf("первая\nвторая\nтретья ā\n");
  EXPECT_NE(message.find("Line 3"), std::string::npos) << message;
  EXPECT_NE(message.find("U+0101"), std::string::npos) << message;
  EXPECT_NE(ErrorOf("смайлик 😀"), "");  // beyond the 16-bit range as well
}

TEST(Cp1251Text, RejectsBrokenUtf8NamingItsLine) {
  const std::string message = ErrorOf("строка\n\xD0\n");
  EXPECT_NE(message.find("Line 2"), std::string::npos) << message;
}

TEST(Cp1251Program, ConvertsAFileWithACyrillicName) {
  QTemporaryDir dir;
  const std::string in = dir.path().toStdString() + "/Упражнение.cml";
  const std::string out = dir.path().toStdString() + "/Легко/Упражнение.cml";
  WriteAll(in, "Вода — воды\n");
  std::filesystem::create_directories(std::filesystem::path(out).parent_path());
  EXPECT_EQ(QProcess::execute(TO_CP1251_PATH, {QString::fromStdString(in), QString::fromStdString(out)}), 0);
  EXPECT_EQ(ReadAll(out), "\xC2\xEE\xE4\xE0 \x97 \xE2\xEE\xE4\xFB\r\n");
}

TEST(Cp1251Program, FailsLoudlyAndLeavesNoFile) {
  QTemporaryDir dir;
  const std::string in = dir.path().toStdString() + "/bad.txt";
  const std::string out = dir.path().toStdString() + "/out.txt";
  WriteAll(in, "хорошо\nплохо: 中\n");
  QProcess process;
  process.start(TO_CP1251_PATH, {QString::fromStdString(in), QString::fromStdString(out)});
  ASSERT_TRUE(process.waitForFinished());
  EXPECT_NE(process.exitCode(), 0);
  const QString error = QString::fromUtf8(process.readAllStandardError());
  EXPECT_TRUE(error.contains("Line 2")) << error.toStdString();
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

TEST(Cp1251Program, ReportsAMissingInput) {
  QTemporaryDir dir;
  const QString out = dir.path() + "/out.txt";
  EXPECT_NE(QProcess::execute(TO_CP1251_PATH, {dir.path() + "/none.txt", out}), 0);
  EXPECT_FALSE(std::filesystem::exists(out.toStdString()));
}
