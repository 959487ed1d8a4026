#pragma once
// Exercise documents for the navigation tests: cp1251 files written into a
// folder of their own under the artwork folder, the program's tag table, the
// fill-in fields of a shown page, the message boxes, and the mistakes dialog
// read and closed by a real click.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "TrainerFixtures.h"
#include "platform/StringList.h"

class TRLEdit;

class TCourseFolder {
 public:
  // Enters the artwork folder and puts the tag table and skin folder in
  // their start-up state.
  TCourseFolder();
  // Writes utf8 as cp1251 (line ends as given) and returns the file's path.
  std::string Write(const std::string& name, const std::string& utf8) const;
  std::string Path(const std::string& name) const;

 private:
  QTemporaryDir dir_;
};

// A document of header, hint (left out when empty) and body, whose body
// holds one fill-in field per answer, each in a sentence of its own.
std::string FieldsDocument(const std::string& header, const std::vector<std::string>& answers,
                           const std::string& hint = "Подсказка к упражнению.");
TStringList ListOf(const std::vector<std::string>& paths);

// The fill-in fields of the page's body, in reading order.
std::vector<TRLEdit*> BodyFields(TWorkFrame& frame);

// Collects the message boxes instead of showing them, for one scope.
class TMessageLog {
 public:
  TMessageLog();
  ~TMessageLog();
  std::vector<std::string> Texts;     // cp1251
  std::vector<std::string> Captions;  // cp1251
};

// Arms a check that runs from inside the mistakes dialog's modal loop: it
// keeps the dialog's text (cp1251) and clicks "Закрыть". Empty when no one
// dialog came up.
class TDialogWatch {
 public:
  TDialogWatch();
  std::string Text() const { return *text_; }

 private:
  std::shared_ptr<std::string> text_;
};

// A course folder and the exercise screen at 1280 x 1024, for tests that
// step through documents.
struct TCourseScreenTest : ::testing::Test {
  TCourseFolder course;
  TWorkScreen screen{1280, 1024};
  TWorkFrame& frame = screen.Frame();

  // "a.cml", "b.cml" and "c.cml", one field each, headed "Первое", "Второе"
  // and "Третье".
  TStringList ThreeDocuments() const;
};
