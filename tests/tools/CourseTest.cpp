// The sample course as the build ships it: every source converts to cp1251 and
// keeps to the forms the trainer reads, so a bad file fails here, not on screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/StrUtils.h"
#include "tools/cp1251/Cp1251Text.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<fs::path> CourseFiles(const std::string& extension) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(COURSE_SOURCE_DIR))
    if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
      files.push_back(entry.path());
  return files;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!Trim(line).empty()) lines.push_back(Trim(line));
  return lines;
}

}  // namespace

TEST(Course, EverySourceConvertsToCp1251) {
  const auto files = CourseFiles("");
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) EXPECT_NO_THROW(Utf8TextToCp1251(ReadAll(file))) << file;
}

TEST(Course, ExercisesHaveHeaderHintAndBodyWithAnsweredFields) {
  const auto files = CourseFiles(".cml");
  ASSERT_FALSE(files.empty());
  const std::regex edit("<edit([^>]*)>", std::regex::icase);
  for (const fs::path& file : files) {
    const std::string text = ReadAll(file);
    std::vector<std::string> parts;
    for (std::size_t pos = 0, next; pos <= text.size(); pos = next + 5) {
      next = std::min(text.find("<~~~>", pos), text.size());
      parts.push_back(text.substr(pos, next - pos));
    }
    ASSERT_EQ(parts.size(), 3u) << file << ": header, hint and body";
    for (const std::string& part : parts) EXPECT_FALSE(Trim(part).empty()) << file;
    for (std::sregex_iterator it(parts[2].begin(), parts[2].end(), edit), end; it != end; ++it)
      EXPECT_NE((*it)[1].str().find("answer="), std::string::npos) << file << ": " << it->str();
    // A body asks for answers: it holds a tag beyond the in-text ones.
    const std::regex answerTag("<(?!(?:br|/?b|/?i|/?font|lines|fontsize)[ >])", std::regex::icase);
    EXPECT_GT(std::distance(std::sregex_iterator(parts[2].begin(), parts[2].end(), answerTag),
                            std::sregex_iterator()),
              0)
        << file;
    EXPECT_EQ(std::count(text.begin(), text.end(), '<'), std::count(text.begin(), text.end(), '>')) << file;
  }
}

TEST(Course, ContentsLinesStartWithADocumentNumber) {
  for (const fs::path& file : CourseFiles(".txt")) {
    if (file.filename() != "contents.txt") continue;
    for (const std::string& line : Lines(ReadAll(file)))
      EXPECT_TRUE(std::regex_search(line, std::regex("^[0-9]+ *(-[0-9]+)? *\\."))) << file << ": " << line;
  }
}

TEST(Course, ContentsEntriesOpenDocumentsOfTheirOwnList) {
  // A list is the documents of one folder, and its contents come from the
  // "contents.txt" beside them: an entry numbered past them opens nothing.
  int lists = 0;
  for (const auto& entry : fs::recursive_directory_iterator(QUILLON_TREE_DIR)) {
    if (entry.path().filename() != "contents.txt") continue;
    ++lists;
    long documents = 0;
    for (const auto& file : fs::directory_iterator(entry.path().parent_path()))
      documents += file.path().extension() == ".cml";
    for (const std::string& line : Lines(ReadAll(entry.path()))) {
      const long number = std::strtol(line.c_str(), nullptr, 10);
      EXPECT_TRUE(number >= 1 && number <= documents) << entry.path() << ": " << line;
    }
  }
  EXPECT_GT(lists, 10);
}

TEST(Course, SettingsRowsAreThresholdEqualsStep) {
  for (const fs::path& file : CourseFiles(".ini"))
    for (const std::string& line : Lines(ReadAll(file)))
      EXPECT_TRUE(std::regex_match(line, std::regex("[0-9]+(\\.[0-9]+)? *= *-?[0-9]+")))
          << file << ": " << line;
}
