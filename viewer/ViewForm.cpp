#include "viewer/ViewForm.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <algorithm>
#include <cstdint>

#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/KeyboardLayout.h"
#include "platform/OpenDialog.h"
#include "platform/Screen.h"
#include "platform/StateReport.h"
#include "platform/StrUtils.h"
#include "viewer/PagePrinting.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"

const char* const kViewerTitle = "Tivel Viewer";
const char* const kViewerTitleSuffix = " - Tivel Viewer";
TPluginViewForm* PluginViewForm = nullptr;

namespace {

constexpr int kClientWidth = 446;
constexpr int kClientHeight = 538;
constexpr int kExitBottomGap = kClientHeight - 512;
constexpr TColor kControlsColor = 0xE5F0F7;

enum TGlyph { gPrev, gNext, gHand, gText, gFitPage, gZoom100, gFitText, gZoomIn, gZoomOut, gFull, gExit };

void DrawPage(QPainter& p, const QRectF& r) {
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void DrawLens(QPainter& p, bool plus, bool minus) {
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
  p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
  if (plus || minus) p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
  if (plus) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

void DrawTextLines(QPainter& p, double left, double right) {
  for (double y = 5.5; y < 13; y += 2.5) p.drawLine(QPointF(left, y), QPointF(right, y));
}

void DrawArrow(QPainter& p, bool up) {
  QPainterPath path;
  const double tip = up ? 3 : 13, base = up ? 11 : 5;
  path.moveTo(8, tip);
  path.lineTo(2.5, base);
  path.lineTo(13.5, base);
  path.closeSubpath();
  p.setBrush(QColor(40, 90, 160));
  p.drawPath(path);
}

void DrawGlyphShape(QPainter& p, TGlyph glyph) {
  switch (glyph) {
    case gPrev:
    case gNext:
      DrawArrow(p, glyph == gPrev);
      break;
    case gHand:
      p.setBrush(QColor(250, 220, 180));
      p.drawRoundedRect(QRectF(3.5, 6.5, 9, 8), 2, 2);
      for (double x = 4; x < 12; x += 2.5) p.drawRect(QRectF(x, 2.5, 2, 5));
      break;
    case gText:
      p.drawLine(QPointF(6, 2.5), QPointF(10, 2.5));
      p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
      p.drawLine(QPointF(6, 13.5), QPointF(10, 13.5));
      break;
    case gFitPage:
      DrawPage(p, QRectF(3.5, 1.5, 9, 13));
      p.drawLine(QPointF(8, 4), QPointF(8, 12));
      break;
    case gZoom100:
      DrawPage(p, QRectF(2.5, 1.5, 11, 13));
      p.drawText(QRectF(2.5, 2, 11, 12), Qt::AlignCenter, "1:1");
      break;
    case gFitText:
      DrawPage(p, QRectF(1.5, 1.5, 13, 13));
      DrawTextLines(p, 3, 13);
      break;
    case gZoomIn:
    case gZoomOut:
      DrawLens(p, glyph == gZoomIn, true);
      break;
    case gFull:
      p.drawRect(QRectF(1.5, 2.5, 13, 11));
      p.drawLine(QPointF(4, 5), QPointF(12, 11));
      p.drawLine(QPointF(12, 5), QPointF(4, 11));
      break;
    case gExit:
      p.setPen(QPen(QColor(180, 30, 30), 2));
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
  }
}

QIcon MakeGlyph(TGlyph glyph) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font = p.font();
  font.setPixelSize(6);
  p.setFont(font);
  p.setPen(QPen(QColor(50, 50, 50), 1));
  DrawGlyphShape(p, glyph);
  return QIcon(pixmap);
}

}  // namespace

TPluginViewForm::TPluginViewForm(QObject* owner) : TForm(owner) {
  SetName("PluginViewForm");
  // Until a document is open the window is named for the program, not for the form.
  SetCaption(kViewerTitle);
  SetColor(clBtnFace);
  // Below this the exit button would cover the zoom buttons.
  setMinimumSize(kMinWidth, kMinHeight);
  const TScreenMetrics screen = ScreenMetrics();
  SetBounds((screen.Width - kClientWidth) / 2, (screen.Height - kClientHeight) / 2, kClientWidth,
            kClientHeight);
  CreateControls();
  Viewer = new TPluginDocsViewer(pnlMain, nullptr);
  Viewer->FitPage();
  Viewer->View()->OnLinkExecute = [this](TObject* sender, TPluginLinkInfo* info) {
    LinkExecute(sender, info);
  };
  SetMouseMode(mmPanning);
  // The window sees every key before its controls.
  qApp->installEventFilter(this);
}

TPluginViewForm::~TPluginViewForm() {
  qApp->removeEventFilter(this);
  delete Viewer;
  if (PluginViewForm == this) PluginViewForm = nullptr;
}

void TPluginViewForm::CreateControls() {
  pnlControls = new TPanel(this);
  pnlControls->SetName("pnlControls");
  pnlControls->SetParent(this);
  pnlControls->SetBevelOuter(bvNone);
  pnlControls->SetColor(kControlsColor);
  pnlControls->SetWidth(30);
  pnlControls->SetAlign(alLeft);
  pnlMain = new TPanel(this);
  pnlMain->SetName("pnlMain");
  pnlMain->SetParent(this);
  pnlMain->SetBevelOuter(bvNone);
  pnlMain->SetColor(clGray);
  pnlMain->SetAlign(alClient);
  CreateMenu();
  CreateButtons();
}

QAction* TPluginViewForm::AddItem(QMenu* menu, const char* name, const std::string& caption,
                                  const QKeySequence& key, std::function<void()> action) {
  QAction* item = menu->addAction(Cp1251ToQString(caption));
  item->setObjectName(name);
  item->setShortcut(key);
  // The keys are the window's own (PreviewKey); the menu only shows them.
  item->setShortcutContext(Qt::WidgetShortcut);
  connect(item, &QAction::triggered, this, [action = std::move(action)] { action(); });
  items_.push_back(item);
  return item;
}

void TPluginViewForm::CreateMenu() {
  pmnuMain = new QMenu(this);
  pmnuMain->setObjectName("pmnuMain");
  QMenu* m = pmnuMain;
  AddItem(m, "miTougleFullscreen", "Переключить полноэкранный режим"_cp, Qt::Key_F11,
          [this] { ToggleFullScreen(); });
  AddItem(m, "miTougleControls", "Скрыть/Показать кнопки управления"_cp, Qt::Key_Space,
          [this] { SetControlsVisible(!GetControlsVisible()); });
  AddItem(m, "miFirstPage", "В начало"_cp, Qt::Key_Home, [this] { FirstPage(); });
  AddItem(m, "miLastPage", "В конец"_cp, Qt::Key_End, [this] { LastPage(); });
  AddItem(m, "miPrevPage", "Предыдущая страница"_cp, Qt::Key_PageUp, [this] { PrevPage(); });
  AddItem(m, "miNextPage", "Следующая страница"_cp, Qt::Key_PageDown, [this] { NextPage(); });
  AddItem(m, "miPanning", "Режим сдвига страницы"_cp, QKeySequence(), [this] { SetMouseMode(mmPanning); });
  AddItem(m, "miTextSelect", "Режим выделения текста"_cp, QKeySequence(), [this] { SetMouseMode(mmSelect); });
  AddItem(m, "miCopyText", "Копировать текст"_cp, Qt::CTRL | Qt::Key_C, [this] { CopySelectedText(); });
  QMenu* zoom = m->addMenu(Cp1251ToQString("Масштабирование"_cp));
  zoom->setObjectName("ZoomIn1");
  AddItem(zoom, "miZoom100", "Оригинальный размер"_cp, Qt::Key_N, [this] { Viewer->SetZoom(100); });
  AddItem(zoom, "miZoomIn", "Увеличить"_cp, QKeySequence(), [this] { Viewer->ZoomIn(); });
  AddItem(zoom, "miZoomOut", "Уменьшить"_cp, QKeySequence(), [this] { Viewer->ZoomOut(); });
  AddItem(zoom, "miFitPage", "Страница целиком"_cp, Qt::Key_P, [this] { Viewer->FitPage(); });
  AddItem(zoom, "miFitText", "По ширине текста"_cp, Qt::Key_F, [this] { Viewer->FitText(); });
  AddItem(m, "miPrint", "Печать"_cp, Qt::CTRL | Qt::Key_P, [this] { PrintCurrentPage(); });
  AddItem(m, "miClose", "Закрыть"_cp, Qt::Key_Escape, [this] { Close(); });
}

void TPluginViewForm::AddButton(const char* name, int top, const std::string& hint, int glyph,
                                QAction* item) {
  auto* button = new QToolButton(pnlControls);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setGeometry(3, top, 23, 22);
  button->setIconSize(QSize(16, 16));
  button->setIcon(MakeGlyph(TGlyph(glyph)));
  button->setToolTip(Cp1251ToQString(hint));
  connect(button, &QToolButton::clicked, item, &QAction::trigger);
  buttons_.push_back(button);
}

void TPluginViewForm::CreateButtons() {
  AddButton("btnPrevPage", 5, "Предыдущая страница"_cp, gPrev, MenuItem("miPrevPage"));
  AddButton("btnNextPage", 29, "Следующая страница"_cp, gNext, MenuItem("miNextPage"));
  AddButton("btnPanning", 53, "Режим сдвига страницы"_cp, gHand, MenuItem("miPanning"));
  AddButton("btnSelecting", 77, "Режим выделения текста"_cp, gText, MenuItem("miTextSelect"));
  AddButton("btnZoomFitPage", 101, "Страница целиком (*)"_cp, gFitPage, MenuItem("miFitPage"));
  AddButton("btnZoom100", 125, "Оригинальный размер (/)"_cp, gZoom100, MenuItem("miZoom100"));
  // Both fit buttons name "*", although "*" fits the whole page: the hints
  // are the program's own text.
  AddButton("btnZoomFitText", 149, "По ширине текста (*)"_cp, gFitText, MenuItem("miFitText"));
  AddButton("btnZoomIn", 173, "Увеличить (+)"_cp, gZoomIn, MenuItem("miZoomIn"));
  AddButton("btnZoomOut", 197, "Уменьшить (-)"_cp, gZoomOut, MenuItem("miZoomOut"));
  AddButton("btnFullScreen", 221, "Переключение полноэкранного режима (F11)"_cp, gFull,
            MenuItem("miTougleFullscreen"));
  AddButton("btnExit", 512, "Закрыть (Esc)"_cp, gExit, MenuItem("miClose"));
  Button("btnSelecting")->resize(22, 22);
  for (const char* name : {"btnPanning", "btnSelecting"}) Button(name)->setCheckable(true);
  pnlControls->OnResize = [this](TObject*) { PlaceExitButton(); };
  PlaceExitButton();
  UpdatePageButtons();
}

void TPluginViewForm::PlaceExitButton() {
  QToolButton* exit = Button("btnExit");
  if (exit) exit->move(3, pnlControls->Height() - kExitBottomGap);
}

QToolButton* TPluginViewForm::Button(const std::string& name) const {
  for (const QPointer<QToolButton>& button : buttons_) {
    if (button && button->objectName().toStdString() == name) return button;
  }
  return nullptr;
}

QAction* TPluginViewForm::MenuItem(const std::string& name) const {
  for (QAction* item : items_) {
    if (item->objectName().toStdString() == name) return item;
  }
  return nullptr;
}

void TPluginViewForm::SetMouseMode(TMouseMode mode) {
  Viewer->SetMouseMode(mode);
  Button("btnPanning")->setChecked(mode == mmPanning);
  Button("btnSelecting")->setChecked(mode == mmSelect);
}

// ------------------------------------------------------------------ files

void TPluginViewForm::OpenTitled(const std::string& file) {
  OpenFile(file, NativeFileName(file) + kViewerTitleSuffix, 1, false);
}

void TPluginViewForm::OpenFromCommandLine(const std::vector<std::string>& params) {
  try {
    const auto existing = std::find_if(params.begin(), params.end(), NativeFileExists);
    if (existing != params.end()) return OpenTitled(*existing);
    if (!params.empty()) Application->ShowException(FileProblem(params.front()));
    OpenWithDialog();
  } catch (const std::exception& e) {
    // The window still opens, empty, after the user has read why.
    Application->HandleException(e);
  }
}

void TPluginViewForm::OpenWithDialog() {
  TOpenDialog dialog;
  dialog.Filter = "Файлы tivel|*.*"_cp;
  dialog.Options = ofHideReadOnly | ofFileMustExist | ofEnableSizing;
  if (dialog.Execute(this)) OpenTitled(dialog.NativeFileName);
}

void TPluginViewForm::OpenFile(const std::string& file, const std::string& title, int page, bool fullScreen) {
  SetCaption(Utf8ToCp1251(title));
  // The caption keeps the system's cp1251; the window shows every letter of the name.
  setWindowTitle(QString::fromUtf8(title));
  SetCurrentFile(file);
  SetFullScreen(fullScreen);
  GotoPage(page);
  // Sized to the page now shown, not to the one shown before.
  FitWindowToPage();
}

void TPluginViewForm::SetBounds(int left, int top, int width, int height) {
  TForm::SetBounds(left, top, std::max(width, kMinWidth), std::max(height, kMinHeight));
}

TRect PageWindowBounds(int pageW, int pageH, int extraW, int extraH, int screenW, int screenH) {
  // A page may claim any size: the sums are made in 64 bits, and what is left
  // after the shrinking below is at most three quarters of the screen.
  std::int64_t w = std::int64_t(pageW) + extraW, h = std::int64_t(pageH) + extraH;
  const std::int64_t maxW = std::int64_t(unsigned(screenW) * 3 >> 2);
  const std::int64_t maxH = std::int64_t(unsigned(screenH) * 3 >> 2);
  if (w > maxW) {
    h = RoundHalfEven(double(h) * maxW / double(w));
    w = maxW;
  }
  if (h > maxH) {
    w = RoundHalfEven(double(w) * maxH / double(h));
    h = maxH;
  }
  const int width = int(std::clamp<std::int64_t>(w, kMinWidth, INT32_MAX));
  const int height = int(std::clamp<std::int64_t>(h, kMinHeight, INT32_MAX));
  return Bounds(int((std::int64_t(screenW) - width) / 2), int((std::int64_t(screenH) - height) / 2), width,
                height);
}

void TPluginViewForm::FitWindowToPage() {
  if (fullScreen_) return;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  int pageW = 0, pageH = 0;
  if (!Viewer->View()->NativePageSize(pageW, pageH)) {
    SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
    return;
  }
  SetBoundsRect(PageWindowBounds(pageW, pageH, Width() - pnlMain->ClientWidth(),
                                 Height() - pnlMain->ClientHeight(), sw, sh));
}

// ------------------------------------------------------------------ pages

void TPluginViewForm::GotoPage(int n) {
  CurrentPage = n;
  Viewer->OpenPage(CurrentFile, n);
  const TPluginDocument* document = Viewer->View()->Document();
  const bool sameFile = document && FileManager && FileManager->Find(CurrentFile) == document;
  const int count = sameFile ? document->PageCount() : 0;
  if (!Viewer->View()->Active() && count > 0 && (n < 1 || n > count)) {
    // A link to a page the document lacks shows its nearest page, not a blank view.
    CurrentPage = std::clamp(n, 1, count);
    Viewer->OpenPage(CurrentFile, CurrentPage);
  }
  UpdatePageButtons();
}

void TPluginViewForm::UpdatePageButtons() {
  const int count = Viewer ? Viewer->PageCount() : 0;
  Button("btnPrevPage")->setEnabled(count >= 2 && CurrentPage > 1);
  Button("btnNextPage")->setEnabled(count >= 2 && CurrentPage < count);
}

void TPluginViewForm::FirstPage() {
  GotoPage(1);
}

void TPluginViewForm::LastPage() {
  if (Viewer->PageCount() > 0) GotoPage(Viewer->PageCount());
}

void TPluginViewForm::PrevPage() {
  if (CurrentPage > 1) GotoPage(CurrentPage - 1);
}

void TPluginViewForm::NextPage() {
  if (CurrentPage < Viewer->PageCount()) GotoPage(CurrentPage + 1);
}

// ------------------------------------------------------------------ window

void TPluginViewForm::SetFullScreen(bool on) {
  if (on == fullScreen_) return;
  fullScreen_ = on;
  if (on) {
    SavedBounds = BoundsRect();
    SetBorderStyle(bsNone);
    SetWindowState(wsMaximized);
    return;
  }
  SetBorderStyle(bsSizeable);
  SetWindowState(wsNormal);
  SetBoundsRect(SavedBounds);
}

bool TPluginViewForm::GetControlsVisible() const {
  return pnlControls->Visible();
}

void TPluginViewForm::SetControlsVisible(bool visible) {
  pnlControls->SetVisible(visible);
}

void TPluginViewForm::CopySelectedText() {
  const std::string text = Viewer->View()->SelectedText();
  // Nothing selected leaves the clipboard as the user filled it.
  if (!text.empty()) CopyTextInRussianLayout(text);
}

void TPluginViewForm::PrintCurrentPage() {
  if (Viewer->View()->Active()) PrintPage(CurrentFile, CurrentPage);
}

// ------------------------------------------------------------------ input

bool TPluginViewForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  return PreviewKey(*static_cast<QKeyEvent*>(event));
}

bool TPluginViewForm::PreviewKey(QKeyEvent& key) {
  // Matched by virtual-key code, so the letters work on a Russian X layout too.
  const int shortcut = ShortCutOf(key);
  for (QAction* item : items_) {
    if (item->shortcut().isEmpty() || ShortCutOf(item->shortcut()[0]) != shortcut) continue;
    item->trigger();
    ReportState(item->objectName().toStdString() + " zoom-mode " + std::to_string(Viewer->ZoomMode()) +
                " page " + std::to_string(CurrentPage));
    return true;
  }
  const QString text = key.text();
  if (text == "+") {
    Viewer->ZoomIn();
  } else if (text == "-") {
    Viewer->ZoomOut();
  } else if (text == "*") {
    Viewer->FitPage();
  } else if (text == "/") {
    Viewer->SetZoomNormal(100);
  } else {
    return false;
  }
  return true;
}

void TPluginViewForm::contextMenuEvent(QContextMenuEvent* event) {
  pmnuMain->popup(event->globalPos());
}
