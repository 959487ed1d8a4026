#include "TitleFixtures.h"

#include <QDir>
#include <QFile>

#include "CourseFixtures.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"

TTitleScreen::TTitleScreen(int width, int height, bool shown)
    : screen_(width, height), host_(std::make_unique<TForm>()) {
  EnterArtworkFolder();
  host_->SetBorderStyle(bsNone);
  host_->SetBounds(0, 0, width, height);
  frame_ = new TTitleFrame(host_.get());
  // As the main window does: hidden before it joins the window.
  frame_->Hide();
  frame_->SetParent(host_.get());
  frame_->SetAlign(alClient);
  host_->Show();
  if (shown) frame_->Show();
  Application->MainForm = host_.get();
}

TTitleScreen::~TTitleScreen() {
  if (Application->MainForm == host_.get()) Application->MainForm = nullptr;
}

TTopicFolders::~TTopicFolders() {
  QDir("docs").removeRecursively();
}

std::string TTopicFolders::Add(const std::string& level, const std::string& topic,
                               const std::vector<std::string>& documents) {
  const QString folder = QString::fromUtf8("docs/" + level + "/" + topic);
  EXPECT_TRUE(QDir().mkpath(folder));
  for (const std::string& name : documents) {
    QFile file(folder + "/" + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    const std::string bytes = Utf8ToCp1251(FieldsDocument(name, {"о"}));
    file.write(bytes.data(), qint64(bytes.size()));
  }
  return Utf8ToCp1251(".\\docs\\" + level + "\\" + topic);
}

void ClickOn(QWidget& root, const QWidget& control) {
  MouseAt(root, control.mapTo(&root, QPoint(control.width() / 2, control.height() / 2)), TMouseStep::Click);
}
