#include "CourseFixtures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <memory>

#include "TrainerFixtures.h"
#include "exercise/RLControl.h"
#include "exercise/RLEdit.h"
#include "exercise/RLParser.h"
#include "exercise/TagTable.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "trainer/DialogForm.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageScrollBar.h"  // ImageScrollBox.h holds the bar in a QPointer
#include "widgets/ImageScrollBox.h"

namespace {

// A new folder's name pattern inside the artwork folder, which it enters first.
QString CourseFolderPattern() {
  EnterArtworkFolder();
  return QDir::currentPath() + "/course-XXXXXX";
}

}  // namespace

TCourseFolder::TCourseFolder() : dir_(CourseFolderPattern()) {
  InitExerciseTags();
  // The skins are beside the test's pictures, not beside the test program.
  ImagesFolder = QDir::currentPath().toStdString() + "/imgs/";
}

std::string TCourseFolder::Path(const std::string& name) const {
  return dir_.path().toStdString() + "/" + name;
}

std::string TCourseFolder::Write(const std::string& name, const std::string& utf8) const {
  QFile file(QString::fromStdString(Path(name)));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name;
  const std::string bytes = Utf8ToCp1251(utf8);
  file.write(bytes.data(), qint64(bytes.size()));
  return Path(name);
}

std::string FieldsDocument(const std::string& header, const std::vector<std::string>& answers,
                           const std::string& hint) {
  std::string body;
  for (std::size_t i = 0; i < answers.size(); ++i)
    body += std::to_string(i + 1) + ". Слово <edit width=2 answer=" + answers[i] + "> в предложении.<br>\r\n";
  return header + "\r\n<~~~>\r\n" + hint + "\r\n<~~~>\r\n" + body;
}

TStringList ListOf(const std::vector<std::string>& paths) {
  TStringList list;
  for (const std::string& path : paths) list.Add(path);
  return list;
}

TStringList TCourseScreenTest::ThreeDocuments() const {
  return ListOf({course.Write("a.cml", FieldsDocument("Первое", {"а"})),
                 course.Write("b.cml", FieldsDocument("Второе", {"б"})),
                 course.Write("c.cml", FieldsDocument("Третье", {"в"}))});
}

std::vector<TRLEdit*> BodyFields(TWorkFrame& frame) {
  std::vector<TRLEdit*> fields;
  TPanel* body = frame.ContentBox->ContentPanel();
  for (int i = 0; i < body->ControlCount(); ++i) {
    auto* parser = qobject_cast<TRLParser*>(body->Controls(i));
    if (!parser) continue;
    for (int j = 0; j < parser->ControlCount(); ++j)
      if (auto* field = qobject_cast<TRLEdit*>(parser->Controls(j))) fields.push_back(field);
  }
  return fields;
}

TMessageLog::TMessageLog() {
  Application->SetMessageSink([this](const std::string& text, const std::string& caption) {
    Texts.push_back(text);
    Captions.push_back(caption);
  });
}

TMessageLog::~TMessageLog() {
  Application->SetMessageSink(nullptr);
}

TDialogWatch::TDialogWatch() : text_(std::make_shared<std::string>()) {
  QTimer::singleShot(0, [text = text_] {
    std::vector<TDialogForm*> dialogs;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<TDialogForm*>(w); dialog && dialog->isVisible())
        dialogs.push_back(dialog);
    // A modal loop left running would hang the test instead of failing it.
    if (dialogs.size() != 1) {
      ADD_FAILURE() << dialogs.size() << " mistakes dialogs are shown";
      for (TDialogForm* d : dialogs) d->Close();
      return;
    }
    *text = dialogs.front()->lText->Caption();
    QTest::mouseClick(dialogs.front()->Label1, Qt::LeftButton, Qt::NoModifier, QPoint(80, 10));
  });
}
