#pragma once
// The open dialog of the class library: a filter in its "label|*.ext" form,
// options, and the chosen file. Tests replace the dialog (SetOpenDialogHook)
// so that nothing waits for a person.

#include <functional>
#include <string>

class QWidget;
class TOpenDialog;

enum TOpenOption : unsigned { ofHideReadOnly = 1, ofFileMustExist = 2, ofEnableSizing = 4 };

// Answers in place of the dialog: true for OK, with FileName set.
using TOpenDialogHook = std::function<bool(TOpenDialog& dialog)>;

class TOpenDialog {
 public:
  // Pairs of label and patterns, all separated by '|' (cp1251).
  std::string Filter;
  unsigned Options = ofHideReadOnly | ofEnableSizing;
  // The chosen file (cp1251) after Execute returned true.
  std::string FileName;
  // The same in the file system's spelling (UTF-8), for names cp1251 cannot
  // spell; a replacement dialog that sets only FileName gets it converted.
  std::string NativeFileName;

  // Shows the dialog over parent; false when the user cancelled.
  bool Execute(QWidget* parent = nullptr);
};

// The Qt name filters of a class-library filter: "Files|*.pdf;*.djvu" gives
// "Files (*.pdf *.djvu)".
std::string QtNameFilters(const std::string& filter);
// Replaces every open dialog (null restores the real one).
void SetOpenDialogHook(TOpenDialogHook hook);
