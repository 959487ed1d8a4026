// The main window: which file start-up opens, the caption, paging with keys
// and buttons, zoom and mouse modes from the keyboard, full screen, the
// buttons column, the window's size for a page and copying the selection.
#include "ViewFormTest.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "platform/Clipboard.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "tests/platform/XKeyboard.h"

namespace {

const std::string kSuffix = " - Tivel Viewer";

// The current folder is the process's: each test that moves it puts it back.
class CurrentFolderGuard {
 public:
  ~CurrentFolderGuard() { QDir::setCurrent(saved_); }

 private:
  QString saved_ = QDir::currentPath();
};

// --- Start-up ---

TEST_F(ViewFormTest, TheFirstParameterNamingAnExistingFileIsOpened) {
  const std::string b = Document("b.djvu");
  Document("c.djvu");
  form->OpenFromCommandLine({Folder() + "missing.djvu", b, Folder() + "c.djvu"});
  EXPECT_EQ(form->Caption(), "b.djvu" + kSuffix);
  EXPECT_EQ(form->CurrentFile, b);
  EXPECT_EQ(form->CurrentPage, 1);
  EXPECT_TRUE(View().Active());
  EXPECT_TRUE(dialogFilters.empty());
}

TEST_F(ViewFormTest, WithoutAnExistingFileTheOpenDialogAsks) {
  dialogAnswer = Document("chosen.djvu");
  form->OpenFromCommandLine({Folder() + "missing.djvu"});
  ASSERT_EQ(dialogFilters.size(), 1u);
  EXPECT_EQ(dialogFilters[0], "Файлы tivel|*.*"_cp);
  EXPECT_EQ(form->Caption(), "chosen.djvu" + kSuffix);
  EXPECT_TRUE(View().Active());
}

TEST_F(ViewFormTest, CancellingTheDialogLeavesTheWindowEmpty) {
  form->OpenFromCommandLine({});
  EXPECT_EQ(dialogFilters.size(), 1u);
  EXPECT_EQ(form->Caption(), "Tivel Viewer");  // the program's name, not the form's
  EXPECT_FALSE(View().Active());
  EXPECT_TRUE(form->CurrentFile.empty());
}

TEST_F(ViewFormTest, AFileNoPlugInOpensIsReportedAndTheWindowStaysUsable) {
  const std::string odd = Document("notes.djvu", 3, "other");
  form->OpenFromCommandLine({odd});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(odd), std::string::npos) << messages[0];
  EXPECT_EQ(form->Caption(), "notes.djvu" + kSuffix);
  EXPECT_FALSE(View().Active());
  // Another file still opens.
  form->OpenFile(Document("good.djvu"), "good", 1, false);
  EXPECT_TRUE(View().Active());
}

// A file that cannot be opened says why in the reader's terms, never blaming
// its format for a name or for a file that cannot be read.
TEST_F(ViewFormTest, AFileThatCannotBeOpenedSaysWhy) {
  const std::string empty = Folder() + "Пустой.djvu";
  std::ofstream{empty};
  const std::string folder = Folder() + "Папка.djvu";
  std::filesystem::create_directory(folder);
  const std::string missing = Folder() + "Нет такого.djvu";
  for (const std::string& name : {empty, folder, missing}) form->OpenFromCommandLine({name});
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], Format("Не удалось открыть файл [%s]: он пуст"_cp.c_str(), Utf8ToCp1251(empty)));
  EXPECT_EQ(messages[1],
            Format("Не удалось открыть [%s]: это папка, а не файл"_cp.c_str(), Utf8ToCp1251(folder)));
  EXPECT_EQ(messages[2], Format("Файл %s отсутствует"_cp.c_str(), Utf8ToCp1251(missing)));
  // A name that leads to no file leaves the choice to the open dialog.
  EXPECT_EQ(dialogFilters.size(), 2u);
  EXPECT_FALSE(View().Active());
}

TEST_F(ViewFormTest, NamesInAnyScriptOpenFromTheCommandLineAndTheDialog) {
  // Cyrillic has a cp1251 spelling; Greek and Japanese have none.
  for (const std::string name : {"Книга с пробелами.djvu", "Ελληνικά.djvu", "日本.djvu"}) {
    const std::string path = Document(name);
    form->OpenFromCommandLine({path});
    EXPECT_EQ(form->CurrentFile, path);
    EXPECT_TRUE(View().Active()) << name;
    EXPECT_EQ(form->windowTitle(), QString::fromStdString(name + kSuffix));
  }
  EXPECT_TRUE(messages.empty());
  dialogFilters.clear();
  form->Viewer->View()->SetActive(false);
  SetOpenDialogHook([this](TOpenDialog& dialog) {
    dialog.NativeFileName = Document("Ελληνικά 2.djvu");
    return true;
  });
  form->OpenWithDialog();
  EXPECT_EQ(form->CurrentFile, Folder() + "Ελληνικά 2.djvu");
  EXPECT_TRUE(View().Active());
}

TEST_F(ViewFormTest, ARelativeNameOpens) {
  const CurrentFolderGuard guard;
  const std::string path = Document("Папка/Книга.djvu");
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Folder())));
  form->OpenFromCommandLine({"Папка/Книга.djvu"});
  EXPECT_TRUE(View().Active());
  EXPECT_EQ(form->CurrentFile, "Папка/Книга.djvu");
}

// --- Paging ---

class ViewFormPagingTest : public ViewFormTest {
 protected:
  void SetUp() override {
    ViewFormTest::SetUp();
    StartOn(Document("book.djvu", 4));
  }
  bool PrevEnabled() const { return form->Button("btnPrevPage")->isEnabled(); }
  bool NextEnabled() const { return form->Button("btnNextPage")->isEnabled(); }
};

TEST_F(ViewFormPagingTest, PageKeysStepThroughTheDocument) {
  Key(Qt::Key_PageDown);
  EXPECT_EQ(form->CurrentPage, 2);
  EXPECT_EQ(View().PageIndex(), 2);
  Key(Qt::Key_End);
  EXPECT_EQ(form->CurrentPage, 4);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(form->CurrentPage, 4);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(form->CurrentPage, 3);
  Key(Qt::Key_Home);
  EXPECT_EQ(form->CurrentPage, 1);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(form->CurrentPage, 1);
}

TEST_F(ViewFormPagingTest, PageButtonsStepAndAreEnabledOnlyWhereTheyLead) {
  EXPECT_FALSE(PrevEnabled());
  EXPECT_TRUE(NextEnabled());
  QTest::mouseClick(form->Button("btnNextPage"), Qt::LeftButton);
  EXPECT_EQ(form->CurrentPage, 2);
  EXPECT_TRUE(PrevEnabled());
  form->GotoPage(4);
  EXPECT_TRUE(PrevEnabled());
  EXPECT_FALSE(NextEnabled());
  QTest::mouseClick(form->Button("btnPrevPage"), Qt::LeftButton);
  EXPECT_EQ(form->CurrentPage, 3);
}

TEST_F(ViewFormPagingTest, AOnePageDocumentDisablesBothButtons) {
  form->OpenFile(Document("leaf.djvu", 1), "leaf", 1, false);
  EXPECT_FALSE(PrevEnabled());
  EXPECT_FALSE(NextEnabled());
}

// --- Zoom and mouse modes from the keyboard and the buttons ---

TEST_F(ViewFormPagingTest, ZoomCharactersAndLettersSwitchTheModes) {
  EXPECT_EQ(form->Viewer->ZoomMode(), zmFitClient);
  Char('+');
  EXPECT_EQ(form->Viewer->ZoomMode(), zmNormal);
  const int zoomed = form->Viewer->Zoom();
  Char('-');
  EXPECT_LT(form->Viewer->Zoom(), zoomed);
  Char('*');
  EXPECT_EQ(form->Viewer->ZoomMode(), zmFitClient);
  Char('/');
  EXPECT_EQ(form->Viewer->ZoomMode(), zmNormal);
  EXPECT_EQ(form->Viewer->Zoom(), 100);
  Key(Qt::Key_F);
  EXPECT_EQ(form->Viewer->ZoomMode(), zmTextWidth);
  Key(Qt::Key_N);
  EXPECT_EQ(form->Viewer->ZoomMode(), zmNormal);
  EXPECT_EQ(form->Viewer->Zoom(), 100);
  Key(Qt::Key_P);
  EXPECT_EQ(form->Viewer->ZoomMode(), zmFitClient);
}

TEST_F(ViewFormPagingTest, LetterShortcutsWorkOnTheRussianXLayoutAndSignsByCharacter) {
  for (TXLayout layout : {TXLayout::Ru, TXLayout::Us}) {
    const XKeyboard keyboard(layout);
    const auto press = [&](char16_t usKey, Qt::KeyboardModifiers modifiers = {}) {
      keyboard.Click(XKeyboard::StrokeFor(TXLayout::Us, usKey), modifiers, Target());
    };
    press(u'f');
    EXPECT_EQ(form->Viewer->ZoomMode(), zmTextWidth);
    press(u'n');
    EXPECT_EQ(form->Viewer->ZoomMode(), zmNormal);
    press(u'+');  // Shift and the "=" key on both layouts
    EXPECT_GT(form->Viewer->Zoom(), 100);
    press(u'p');
    EXPECT_EQ(form->Viewer->ZoomMode(), zmFitClient);
    // Shift+N is no shortcut; on the Russian X layout it types "Т", which is no sign either.
    press(u'N');
    EXPECT_EQ(form->Viewer->ZoomMode(), zmFitClient);

    SetClipboardText("kept");
    View().SelectRange(0, 3);
    press(u'c', Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), View().SelectedText());
    // Ctrl+P opens the print set-up; the test closes it.
    QString dialog;
    QTimer::singleShot(0, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        dialog = modal->metaObject()->className();
        modal->close();
      }
    });
    press(u'p', Qt::ControlModifier);
    EXPECT_EQ(dialog, "QPrintDialog");
    EXPECT_EQ(form->Viewer->ZoomMode(), zmFitClient);
  }
}

TEST_F(ViewFormPagingTest, ACtrlRightClickWhoseMenuTookTheReleaseLeavesTheModeTheButtonsShow) {
  ASSERT_TRUE(form->Button("btnPanning")->isChecked());
  const QPoint at(20, 20);
  QTest::mousePress(Target(), Qt::RightButton, Qt::ControlModifier, at);
  // Under X the context menu event follows the right press, and its menu takes the release.
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, Target()->mapToGlobal(at), Qt::ControlModifier);
  QApplication::sendEvent(Target(), &menu);
  ASSERT_TRUE(form->pmnuMain->isVisible());
  form->pmnuMain->close();
  EXPECT_TRUE(View().AllowPanngin);
  EXPECT_FALSE(View().AllowMouseSelect);
  EXPECT_TRUE(form->Button("btnPanning")->isChecked());
  // The next left drag pans, as the checked hand button says, and selects nothing.
  QTest::mousePress(Target(), Qt::LeftButton, {}, at);
  QTest::mouseMove(Target(), at + QPoint(30, 30));
  EXPECT_FALSE(View().MouseSelecting());
  QTest::mouseRelease(Target(), Qt::LeftButton, {}, at + QPoint(30, 30));
  EXPECT_EQ(View().GetSelectedText(), "");
}

TEST_F(ViewFormPagingTest, ZoomButtonsDoWhatTheirHintsSay) {
  QTest::mouseClick(form->Button("btnZoomFitText"), Qt::LeftButton);
  EXPECT_EQ(form->Viewer->ZoomMode(), zmTextWidth);
  QTest::mouseClick(form->Button("btnZoom100"), Qt::LeftButton);
  EXPECT_EQ(form->Viewer->Zoom(), 100);
  QTest::mouseClick(form->Button("btnZoomIn"), Qt::LeftButton);
  EXPECT_EQ(form->Viewer->Zoom(), 108);
  // Both fit hints name "*", which fits the whole page.
  EXPECT_EQ(form->Button("btnZoomFitPage")->toolTip(), Cp1251ToQString("Страница целиком (*)"_cp));
  EXPECT_EQ(form->Button("btnZoomFitText")->toolTip(), Cp1251ToQString("По ширине текста (*)"_cp));
}

TEST_F(ViewFormPagingTest, MouseModeButtonsSetTheViewsFlagsAndShowTheMode) {
  EXPECT_TRUE(View().AllowPanngin);
  EXPECT_TRUE(form->Button("btnPanning")->isChecked());
  QTest::mouseClick(form->Button("btnSelecting"), Qt::LeftButton);
  EXPECT_EQ(form->Viewer->MouseMode(), mmSelect);
  EXPECT_TRUE(View().AllowMouseSelect);
  EXPECT_FALSE(View().AllowPanngin);
  EXPECT_TRUE(form->Button("btnSelecting")->isChecked());
  EXPECT_FALSE(form->Button("btnPanning")->isChecked());
}

// --- The window ---

TEST_F(ViewFormPagingTest, F11TogglesFullScreenAndBringsTheWindowBack) {
  const TRect before = form->BoundsRect();
  Key(Qt::Key_F11);
  EXPECT_TRUE(form->FullScreen());
  EXPECT_EQ(form->BoundsRect(), Bounds(0, 0, 1280, 1024));
  EXPECT_EQ(form->BorderStyle(), bsNone);
  // The fit mode re-fits the page to the larger box.
  EXPECT_EQ(View().Height(), form->pnlMain->Height());
  Key(Qt::Key_F11);
  EXPECT_FALSE(form->FullScreen());
  EXPECT_EQ(form->BoundsRect(), before);
  EXPECT_EQ(form->BorderStyle(), bsSizeable);
}

TEST_F(ViewFormPagingTest, SpaceHidesAndShowsTheButtons) {
  const int width = form->pnlMain->Width();
  Key(Qt::Key_Space);
  EXPECT_FALSE(form->GetControlsVisible());
  EXPECT_EQ(form->pnlMain->Width(), width + 30);
  Key(Qt::Key_Space);
  EXPECT_TRUE(form->GetControlsVisible());
  EXPECT_EQ(form->pnlMain->Width(), width);
}

TEST_F(ViewFormPagingTest, EscapeClosesTheWindow) {
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(ViewFormPagingTest, TheExitButtonStaysAtTheBottom) {
  form->SetBounds(0, 0, 500, 700);
  EXPECT_EQ(form->Button("btnExit")->geometry().bottom() + 1, 700 - 4);
}

TEST(PageWindowBoundsTest, ALargePageShrinksToThreeQuartersOfTheScreenCentred) {
  EXPECT_EQ(PageWindowBounds(1000, 1400, 46, 38, 1280, 1024), Bounds(360, 128, 559, 768));
  EXPECT_EQ(PageWindowBounds(2000, 500, 30, 0, 1280, 1024), Bounds(160, 363, 960, kMinHeight));
  EXPECT_EQ(PageWindowBounds(400, 600, 30, 0, 1280, 1024), Bounds(425, 212, 430, 600));
  // A tiny page still gives a usable window.
  EXPECT_EQ(PageWindowBounds(10, 10, 30, 0, 1280, 1024).Width(), kMinWidth);
}

// A page claiming a size beyond any the viewer renders is refused with a
// message naming the file, before the view or the window is sized to it.
TEST_F(ViewFormTest, APageClaimingAHugeSizeIsRefusedNamingTheFile) {
  const std::string huge = Document("huge.djvu", 2, "djvu", 20000, 150);  // 40000 x 300 pixels
  StartOn(huge);
  EXPECT_FALSE(View().Active());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "Page 1 of the file " + huge +
                " claims 40000 x 300 pixels; pages of more than 30000 pixels a side cannot be shown");
  EXPECT_LE(form->Width(), 1280);
  EXPECT_LE(View().Width(), 1280);
  // The largest page allowed opens.
  messages.clear();
  form->OpenFile(Document("large.djvu", 2, "djvu", 15000, 150), "large", 1, false);
  EXPECT_TRUE(View().Active());
  EXPECT_TRUE(messages.empty());
  EXPECT_LE(form->Width(), 1280 * 3 / 4);
}

// Whatever size a page claims, adding the frame must not overflow (the
// sanitizer run sees it) and the window stays within the screen.
TEST(PageWindowBoundsTest, PagesOfAnyClaimedSizeGiveAWindowOnTheScreen) {
  EXPECT_EQ(PageWindowBounds(INT32_MAX, INT32_MAX, 46, 38, 1280, 1024), Bounds(256, 128, 768, 768));
  EXPECT_EQ(PageWindowBounds(1, INT32_MAX, 30, 0, 1280, 1024),
            Bounds((1280 - kMinWidth) / 2, 128, kMinWidth, 768));
  EXPECT_EQ(PageWindowBounds(INT32_MAX, 1, 30, 0, 1280, 1024),
            Bounds(160, (1024 - kMinHeight) / 2, 960, kMinHeight));
}

TEST_F(ViewFormTest, TheWindowNeverGetsSmallerThanItsButtonsNeed) {
  StartOn(Document("book.djvu"));
  form->SetBounds(10, 10, 150, 150);
  EXPECT_EQ(form->Width(), kMinWidth);
  EXPECT_EQ(form->Height(), kMinHeight);
  // A resize from outside (the window manager, the user) is held too.
  form->resize(120, 100);
  QCoreApplication::processEvents();
  EXPECT_GE(form->width(), kMinWidth);
  EXPECT_GE(form->height(), kMinHeight);
  const QRect exit = form->Button("btnExit")->geometry();
  for (const char* name : {"btnPrevPage", "btnNextPage", "btnPanning", "btnSelecting", "btnZoomFitPage",
                           "btnZoom100", "btnZoomFitText", "btnZoomIn", "btnZoomOut", "btnFullScreen"})
    EXPECT_FALSE(exit.intersects(form->Button(name)->geometry())) << name;
}

TEST_F(ViewFormTest, TheWindowIsSizedToTheNewPageNotThePreviousOne) {
  StartOn(Document("small.djvu", 2, "djvu", 100, 150));
  int w = 0, h = 0;
  ASSERT_TRUE(View().NativePageSize(w, h));
  EXPECT_EQ(form->BoundsRect(), PageWindowBounds(w, h, 30, 0, 1280, 1024));
  form->OpenFile(Document("wide.djvu", 2, "djvu", 300, 150), "wide", 1, false);
  ASSERT_TRUE(View().NativePageSize(w, h));
  EXPECT_EQ(form->BoundsRect(), PageWindowBounds(w, h, 30, 0, 1280, 1024));
}

// --- Copying ---

TEST_F(ViewFormPagingTest, CtrlCCopiesTheSelectionAndNothingElse) {
  SetClipboardText("kept");
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), "kept");
  View().SelectRange(0, 3);
  const std::string selected = View().SelectedText();
  ASSERT_FALSE(selected.empty());
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), selected);
}

}  // namespace
