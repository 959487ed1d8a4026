#include "fuzz/FuzzTrainer.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include "exercise/ExercisePage.h"
#include "exercise/RLControl.h"
#include "exercise/ScaleSettings.h"
#include "exercise/TagTable.h"
#include "fuzz/FuzzSupport.h"
#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Image.h"
#include "platform/Screen.h"
#include "trainer/UnDrawPanel.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

// The screen size of a common laptop: the layout picks its first line.
constexpr int kScreenWidth = 1366;
constexpr int kScreenHeight = 768;

void CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  for (const QString& name : QDir(from).entryList(QDir::Files))
    QFile::copy(from + "/" + name, to + "/" + name);
}

}  // namespace

TFuzzTrainer& TFuzzTrainer::Get() {
  static TFuzzTrainer* trainer = new TFuzzTrainer;  // lives as long as the process
  return *trainer;
}

TFuzzTrainer::TFuzzTrainer() {
  const QString tree = QString::fromStdString(ScratchFolder());
  CopyFolder(QUILLON_TREE_DIR "/imgs", tree + "/imgs");
  QFile::copy(QUILLON_TREE_DIR "/Settings.ini", tree + "/Settings.ini");
  QDir::setCurrent(tree);

  SetScreenProvider([] {
    return TScreenMetrics{kScreenWidth, kScreenHeight, kScreenWidth / 4, kScreenHeight / 4};
  });
  InitExerciseTags();
  ImagesFolder = ImagesPath();
  LoadScaleSettings("Settings.ini");

  auto* host = new TForm(nullptr);
  host->Hide();
  host->SetBorderStyle(bsNone);
  host->SetBounds(0, 0, kScreenWidth, kScreenHeight);
  frame_ = new TWorkFrame(host);
  frame_->SetParent(host);
  frame_->SetAlign(alClient);
  frame_->LayoutWorkFrame();
  frame_->ComposeBackground();
  Application->MainForm = host;
}

std::string TFuzzTrainer::ImagesPath() const {
  return ScratchFolder() + "/imgs/";
}

void TFuzzTrainer::LoadDocuments(const std::vector<std::string>& paths) {
  TStringList list;
  for (const std::string& path : paths) list.Add(path);
  frame_->LoadExerciseList(list);
}

void TFuzzTrainer::BuildDocument(const std::string& path) {
  const std::string text = ReadExerciseDocument(path);
  frame_->LayoutWorkFrame();
  TWinControl* body = frame_->ContentBox->ContentPanel();
  for (TWinControl* part :
       {body, static_cast<TWinControl*>(frame_->Panel3), static_cast<TWinControl*>(frame_->pHintInner)})
    FreeChildren(part);
  bool changed = false;
  BuildExercisePage(text, changed, body, frame_->Panel3, frame_->pHintInner,
                    frame_->BackImage->Picture());
}

void TFuzzTrainer::CheckResetAndPaint() {
  TWinControl* body = frame_->ContentBox->ContentPanel();
  CheckChildren(body);
  frame_->ContentBox->grab();
  ResetChildren(body);
  frame_->ContentBox->grab();
}
