#pragma once
// The viewer program's only window: a column of flat buttons on the left, the
// document on the right, a popup menu with every command and its key, and the
// handler of the link commands clicked on a page.

#include <QKeySequence>
#include <QPointer>
#include <string>
#include <vector>

#include "platform/Forms.h"
#include "viewer/DocsViewer.h"

class QAction;
class QMenu;
class QToolButton;
class TPluginLinkInfo;

// The caption of the window with no document open, and what the caption of a
// file opened from the command line or the dialog ends in.
extern const char* const kViewerTitle;
extern const char* const kViewerTitleSuffix;

class TPluginViewForm : public TForm {
  Q_OBJECT

 public:
  // Builds the window and its viewer (fit-page zoom, panning); no file yet.
  explicit TPluginViewForm(QObject* owner = nullptr);
  ~TPluginViewForm() override;

  // Opens the first parameter (as the file system spells it) that names an
  // existing file, else says why the first names none and asks with the open
  // dialog. A file no plug-in opens is reported; the window stays empty.
  void OpenFromCommandLine(const std::vector<std::string>& params);
  // Shows page of file under title, centred, sized to the page unless full
  // screen. File names and titles here are in the file system's spelling
  // (UTF-8), so that names cp1251 cannot spell open too.
  void OpenFile(const std::string& file, const std::string& title, int page, bool fullScreen);
  // Asks for a file; cancelling changes nothing.
  void OpenWithDialog();
  // Shows page n of the current file, kept within the document's pages.
  void GotoPage(int n);
  void FirstPage();
  void LastPage();
  void PrevPage();
  void NextPage();

  bool FullScreen() const { return fullScreen_; }
  void SetFullScreen(bool on);
  void ToggleFullScreen() { SetFullScreen(!fullScreen_); }
  bool GetControlsVisible() const;
  void SetControlsVisible(bool visible);
  void SetCurrentFile(const std::string& name) { CurrentFile = name; }
  // Puts the selected text on the clipboard (Russian layout meanwhile).
  void CopySelectedText();
  // Prints the current page on a printer the user picks.
  void PrintCurrentPage();

  // Never smaller than kMinWidth x kMinHeight, where the buttons still fit.
  void SetBounds(int left, int top, int width, int height) override;

  // Runs a clicked link's command: goto, open, start, web; cmd does nothing.
  void LinkExecute(TObject* Sender, TPluginLinkInfo* LinkInfo);

  TPluginDocsViewer* Viewer = nullptr;
  std::string CurrentFile;
  int CurrentPage = 1;
  TRect SavedBounds;

  TPanel* pnlControls = nullptr;
  TPanel* pnlMain = nullptr;
  QMenu* pmnuMain = nullptr;
  // The buttons and menu items by their component names ("btnNextPage", "miFitText").
  QToolButton* Button(const std::string& name) const;
  QAction* MenuItem(const std::string& name) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateControls();
  void CreateMenu();
  void CreateButtons();
  QAction* AddItem(QMenu* menu, const char* name, const std::string& caption, const QKeySequence& key,
                   std::function<void()> action);
  void AddButton(const char* name, int top, const std::string& hint, int glyph, QAction* item);
  void PlaceExitButton();
  void SetMouseMode(TMouseMode mode);
  // Keys the window sees before its controls: the menu's keys, then + - * /.
  bool PreviewKey(QKeyEvent& key);
  // Sizes the window to the page shown, within three quarters of the screen, centred.
  void FitWindowToPage();
  void UpdatePageButtons();
  void OpenTitled(const std::string& file);

  // Link commands.
  void OpenLinked(const std::string& name, int page);
  void StartFile(const std::string& name);
  void OpenWeb(const std::string& target);
  std::string LinkedDocument(const std::string& name) const;
  // A box captioned "Уведомление" (cp1251 text).
  void Report(const std::string& message);

  bool fullScreen_ = false;
  std::vector<QPointer<QToolButton>> buttons_;
  std::vector<QAction*> items_;
};

// The smallest window: the page sizing makes none smaller, and the user cannot
// make it smaller either.
constexpr int kMinWidth = 237;
constexpr int kMinHeight = 298;
// The window for a page of pageW x pageH pixels plus the window's extra
// (buttons, frame): at most three quarters of the screen each way, shrunk
// with its proportions kept, centred on the screen.
TRect PageWindowBounds(int pageW, int pageH, int extraW, int extraH, int screenW, int screenH);

// The global main window, while it exists.
extern TPluginViewForm* PluginViewForm;
