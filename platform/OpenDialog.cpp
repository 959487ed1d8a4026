#include "platform/OpenDialog.h"

#include <QFile>
#include <QFileDialog>

#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

TOpenDialogHook& Hook() {
  static TOpenDialogHook hook;
  return hook;
}

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar - start));
    if (bar == std::string::npos) return parts;
    start = bar + 1;
  }
}

}  // namespace

std::string QtNameFilters(const std::string& filter) {
  const std::vector<std::string> parts = SplitBars(filter);
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (!result.empty()) result += ";;";
    result += parts[i] + " (" + StringReplaceAll(parts[i + 1], ";", " ") + ")";
  }
  return result;
}

bool TOpenDialog::Execute(QWidget* parent) {
  if (Hook()) {
    const bool chosen = Hook()(*this);
    if (chosen && NativeFileName.empty()) NativeFileName = Cp1251ToUtf8(FileName);
    return chosen;
  }
  QFileDialog dialog(parent);
  dialog.setNameFilter(Cp1251ToQString(QtNameFilters(Filter)));
  dialog.setFileMode((Options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QString chosen = dialog.selectedFiles().first();
  FileName = QStringToCp1251(chosen);
  NativeFileName = QFile::encodeName(chosen).toStdString();
  return true;
}

void SetOpenDialogHook(TOpenDialogHook hook) {
  Hook() = std::move(hook);
}
