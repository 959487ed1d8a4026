#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"

namespace {

// Notes the layout, activates the Russian one, and restores the noted one on
// the way out, also when the copy throws.
class TRussianLayoutScope {
 public:
  TRussianLayoutScope() : wasRussian_(IsRussianLayoutActive()) { ActivateKeyboardLayout(kRussianLayout); }
  ~TRussianLayoutScope() { ActivateKeyboardLayout(wasRussian_ ? kRussianLayout : kLatinLayout); }
  TRussianLayoutScope(const TRussianLayoutScope&) = delete;
  TRussianLayoutScope& operator=(const TRussianLayoutScope&) = delete;

 private:
  bool wasRussian_;
};

}  // namespace

void SetClipboardText(const std::string& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(Cp1251ToQString(text));
}

std::string ClipboardText() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard ? QStringToCp1251(clipboard->text()) : std::string();
}

void CopyTextInRussianLayout(const std::string& text) {
  TRussianLayoutScope russian;
  SetClipboardText(text);
}
