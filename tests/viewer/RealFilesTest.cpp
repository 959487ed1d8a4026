// The viewer on real files, end to end: the real main window with the real
// plug-ins of the viewer's tree, on PDF and DjVu documents named in Cyrillic
// and in scripts cp1251 cannot spell, paged in text-width mode, an "open"
// link to a missing file, and a damaged plug-in folder, in this process and
// in the real program.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ViewFormTest.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "tests/HandMadePdf.h"
#include "viewer/Plugin/PluginLinkArea.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

const std::string kTree = FOLIOSCOPE_TREE "/";
constexpr int kPages = 6;

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A book of kPages long pages of black text whose first line starts lower on
// some pages than on others, as in real documents (headings, chapter starts).
void WriteBook(const std::string& path) {
  QPdfWriter pdf(QString::fromStdString(path));
  pdf.setPageSize(QPageSize(QSizeF(148, 400), QPageSize::Millimeter));
  pdf.setResolution(300);
  QPainter painter(&pdf);
  QFont font("DejaVu Sans");
  font.setPointSizeF(9);
  painter.setFont(font);
  const int lineHeight = painter.fontMetrics().height();
  for (int page = 1; page <= kPages; ++page) {
    if (page > 1) pdf.newPage();
    int y = 120 + (page % 3) * 260;
    painter.drawText(100, y, QString("Глава %1. Страница для чтения по ширине текста").arg(page));
    for (int line = 0; line < 45; ++line) {
      y += lineHeight;
      painter.drawText(
          100, y, QString("%1. Съешь же ещё этих мягких французских булок, да выпей чаю.").arg(line + 1));
    }
  }
}

// The first row of picture that holds black ink, or -1.
int FirstInkRow(const QImage& picture) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      if (qRed(row[x]) < 90 && qGreen(row[x]) < 90 && qBlue(row[x]) < 90) return y;
    }
  }
  return -1;
}

class RealFilesTest : public ViewFormTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    SetScreenProvider([] { return TScreenMetrics{1280, 1024, 320, 256}; });
    for (const char* plugin : {"pdf.so", "djvu.so"})
      ASSERT_TRUE(QFile::copy(QString::fromStdString(kTree + "Plugins/" + plugin),
                              QString::fromStdString(PluginFolder() + plugin)));
    SetOpenDialogHook([](TOpenDialog&) { return false; });
    SetShellHandler([](const QUrl&) { return true; });
  }

  void Start() {
    StartPluginLayer(PluginFolder());
    form = std::make_unique<TPluginViewForm>();
    form->SetBorderStyle(bsNone);
  }

  std::string Book(const std::string& name) {
    const std::string path = Folder() + name;
    // Qt's writer cannot name every file: it writes a plain name that is then given the bytes.
    WriteBook(Folder() + "book being written.pdf");
    std::filesystem::rename(Folder() + "book being written.pdf", path);
    return path;
  }

  std::string CopyOf(const std::string& sample, const std::string& name) {
    const std::string path = Folder() + name;
    WriteBytes(path, ReadBytes(kTree + sample));
    return path;
  }

  QImage Screen() const { return form->pnlMain->grab().toImage(); }

  // Drags the page up by dy pixels with the mouse (panning mode).
  void DragUp(int dy) {
    QWidget* view = &View();
    const QPoint from(view->mapFromGlobal(form->pnlMain->mapToGlobal(QPoint(100, 300))));
    const QPoint global = view->mapToGlobal(from) - QPoint(0, dy);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from - QPoint(0, dy));
    QTest::mouseRelease(view, Qt::LeftButton, {}, view->mapFromGlobal(global));
  }

  // Where the first line of the page's text lies in the window: above 0 it is cut off.
  int TextTopOnScreen() const { return FirstInkRow(Screen()); }
};

TEST_F(RealFilesTest, DocumentsNamedInAnyScriptOpenThroughTheRealPlugins) {
  Start();
  const std::vector<std::string> files = {Book("Книга €.pdf"),
                                          Book("Ελληνικά.pdf"),
                                          Book("日本 語.pdf"),
                                          CopyOf("sample.djvu", "Словарь.djvu"),
                                          CopyOf("sample.djvu", "Ελληνικά.djvu"),
                                          CopyOf("sample.djvu", "日本.djvu")};
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  for (const std::string& file : files) {
    form->OpenFromCommandLine({file});
    EXPECT_TRUE(View().Active()) << file;
    EXPECT_EQ(form->CurrentFile, file);
    EXPECT_EQ(form->Viewer->PageCount(), ExtractFileExt(file) == ".pdf" ? kPages : 3) << file;
    EXPECT_EQ(form->windowTitle(), QString::fromStdString(ExtractFileName(file) + " - Tivel Viewer"));
    EXPECT_GE(FirstInkRow(Screen()), 0) << "no page shown for " << file;
  }
  EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(RealFilesTest, TextWidthShowsTheTopOfTheTextOnEveryPageTurnedEitherWay) {
  Start();
  form->OpenFromCommandLine({Book("日本 語.pdf")});
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  // A landscape window, as on a laptop: the text-wide page is far taller than it.
  form->SetBounds(0, 0, 800, 500);
  QTest::keyClick(&View(), Qt::Key_F);
  ASSERT_EQ(form->Viewer->ZoomMode(), zmTextWidth);
  const int fitted = TextTopOnScreen();
  ASSERT_GT(fitted, 0);
  ASSERT_LT(fitted, 40);
  const auto turn = [&](Qt::Key key, int page) {
    // Reading down the page first, as a reader does before turning it.
    const int top = View().Top();
    DragUp(250);
    // As far as the page goes: its bottom edge stops at the window's.
    ASSERT_LT(View().Top(), top - 200) << "the drag did not scroll";
    QTest::keyClick(&View(), key);
    ASSERT_EQ(form->CurrentPage, page);
    const int textTop = TextTopOnScreen();
    EXPECT_GT(textTop, 0) << "the text's first line is cut off on page " << page;
    EXPECT_NEAR(textTop, fitted, 4) << "page " << page;
    EXPECT_EQ(form->Viewer->ZoomMode(), zmTextWidth);
  };
  for (int page = 2; page <= kPages; ++page) turn(Qt::Key_PageDown, page);
  for (int page = kPages - 1; page >= 1; --page) turn(Qt::Key_PageUp, page);
}

TEST_F(RealFilesTest, AnOpenLinkToAMissingFileKeepsThePageAndSaysWhichFile) {
  Start();
  // links.pdf names sample.pdf beside it, which is not copied here.
  const std::string links = CopyOf("links.pdf", "Ссылки на главы.pdf");
  form->OpenFromCommandLine({links});
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  ASSERT_TRUE(View().Active());
  const QImage before = Screen();

  TPluginLinkAreaList& areas = View().Page()->GetLinkAreas();
  const TPluginLinkArea* open = nullptr;
  for (int i = 0; i < areas.Count(); ++i) {
    if (areas.Items(i)->Reader->Command == TLinkCommand::lcOpen) open = areas.Items(i);
  }
  ASSERT_NE(open, nullptr);
  const TPluginRect r = open->GetRect();
  const double scale = View().Width() / View().PageWidth();
  const QPoint onLink(int((r.Left + r.Right) / 2 * scale), int((r.Top + r.Bottom) / 2 * scale));
  QTest::mouseMove(&View(), QPoint(1, 1));
  QTest::mouseMove(&View(), onLink);
  QTest::mousePress(&View(), Qt::LeftButton, {}, onLink);
  QTest::mouseRelease(&View(), Qt::LeftButton, {}, onLink);

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(messages[0]), "Файл " + Folder() + "sample.pdf отсутствует");
  EXPECT_EQ(form->CurrentFile, links);
  EXPECT_EQ(form->CurrentPage, 1);
  EXPECT_TRUE(View().Active());
  // Still the same page on the screen, not an empty grey window.
  QTest::mouseMove(&View(), QPoint(1, 1));
  EXPECT_EQ(FirstInkRow(Screen()), FirstInkRow(before));
}

// Cuts of a real plug-in library, and other files that are no library.
void DamagePluginFolder(const std::string& folder) {
  const std::string pdf = ReadBytes(kTree + "Plugins/pdf.so");
  for (int kb : {1, 2, 4, 8, 12, 16, 20})
    WriteBytes(folder + "cut" + std::to_string(kb) + "k.so", pdf.substr(0, kb * 1024));
  WriteBytes(folder + "empty.so", "");
  WriteBytes(folder + "notes.so", "a text file with the wrong name");
  std::string arm = pdf;
  arm[18] = 40;  // e_machine: another processor
  arm[19] = 0;
  WriteBytes(folder + "arm.so", arm);
}

constexpr int kDamagedFiles = 10;

// The log's lines about a plug-in file that was not loaded.
int NotLoadedLines(const std::string& log) {
  int lines = 0;
  for (std::size_t at = log.find("not loaded: "); at != std::string::npos;
       at = log.find("not loaded: ", at + 1))
    ++lines;
  return lines;
}

TEST_F(RealFilesTest, ADamagedPluginFolderLeavesTheGoodPluginsBound) {
  DamagePluginFolder(PluginFolder());
  Start();
  ASSERT_EQ(SupportedExtensions->Count(), 2);
  form->OpenFromCommandLine({Book("Книга.pdf")});
  EXPECT_TRUE(View().Active());
  form->OpenFromCommandLine({CopyOf("sample.djvu", "日本.djvu")});
  EXPECT_TRUE(View().Active());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(NotLoadedLines(LogText()), kDamagedFiles) << LogText();
}

TEST_F(RealFilesTest, TheRealProgramStartsOnADamagedPluginFolder) {
  // The program finds Plugins/ and writes log.txt beside itself.
  const std::string program = Folder() + "Folioscope";
  ASSERT_TRUE(QFile::copy(QString::fromStdString(kTree + "Folioscope"), QString::fromStdString(program)));
  QFile(QString::fromStdString(program)).setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner);
  DamagePluginFolder(PluginFolder());
  const std::string book = Book("Книга для чтения.pdf");

  QProcess viewer;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("QUILLON_TEST_REPORT", "1");  // it says where its window is, once shown
  viewer.setProcessEnvironment(environment);
  viewer.start(QString::fromStdString(program), {QString::fromStdString(book)});
  ASSERT_TRUE(viewer.waitForStarted(10000));
  // It runs on into its event loop with its window, instead of dying inside the loader.
  QByteArray report;
  const bool shown = QTest::qWaitFor(
      [&] {
        report += viewer.readAllStandardOutput();
        return report.startsWith("view ") || viewer.state() != QProcess::Running;
      },
      60000);
  EXPECT_TRUE(shown && report.startsWith("view "))
      << "exit code " << viewer.exitCode() << ", " << viewer.readAllStandardError().toStdString();
  // Every bad file was logged while the plug-ins loaded, before the window opened.
  const std::string log = ReadBytes(Folder() + "log.txt");
  EXPECT_EQ(NotLoadedLines(log), kDamagedFiles) << log;
  viewer.kill();
  viewer.waitForFinished(10000);
}

}  // namespace

// --- Names that are no text, and files that go away while open ---

namespace {

// Names as old archives unpack them: "Пример" in cp1251 and in KOI8-R bytes,
// bytes that are no text at all, and a name with a backslash and a leading dash.
const std::string kCp1251Name = "\xCF\xF0\xE8\xEC\xE5\xF0";
const std::string kKoi8Name = "\xF0\xD2\xC9\xCD\xC5\xD2";
const std::string kNoTextName = "\xFF\xFE bad \xC3(";
const std::string kBackslashName = "-back\\slash ";

std::string FileUrl(const std::string& bytes) {
  return "file:" + QByteArray::fromStdString(bytes).toPercentEncoding("/").toStdString();
}

// A one-page PDF whose link areas run the actions given, one below the other.
std::string PdfWithLinks(const std::vector<std::string>& actions) {
  std::string annots;
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", ""};
  for (std::size_t i = 0; i < actions.size(); ++i) {
    annots += std::to_string(objects.size() + 1) + " 0 R ";
    const int top = 780 - 40 * int(i);
    objects.push_back("<< /Type /Annot /Subtype /Link /Rect [20 " + std::to_string(top - 30) + " 300 " +
                      std::to_string(top) + "] /A " + actions[i] + " >>");
  }
  objects[2] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Annots [" + annots + "] >>";
  return HandMadePdf(objects);
}

}  // namespace

TEST_F(RealFilesTest, NamesThatAreNoTextOpenFromTheCommandLine) {
  Start();
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  for (const std::string& file :
       {Book(kCp1251Name + ".pdf"), CopyOf("sample.djvu", kKoi8Name + ".djvu"), Book(kNoTextName + ".pdf"),
        CopyOf("sample.djvu", kBackslashName + ".djvu")}) {
    form->OpenFromCommandLine({file});
    EXPECT_TRUE(View().Active()) << file;
    EXPECT_EQ(form->CurrentFile, file);
    EXPECT_GE(FirstInkRow(Screen()), 0) << "no page shown for " << file;
    // The title shows what is text and a stand-in for the rest.
    const QString name = QString::fromUtf8(NativeFileName(file)) + " - Tivel Viewer";
    EXPECT_EQ(form->windowTitle(), name);
  }
  EXPECT_EQ(form->windowTitle(), QString::fromStdString(kBackslashName + ".djvu - Tivel Viewer"));
  EXPECT_TRUE(messages.empty()) << messages.front();
}

// The real pdf plug-in gives the viewer its links' file names as bytes: each
// file opens, whatever its name, relative to the document or absolute.
TEST_F(RealFilesTest, LinksOpenFilesOfAnyName) {
  Start();
  const std::string folder = Folder() + "日本/";
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(Folder() + "Ελληνικά");
  const std::vector<std::string> targets = {Book("日本/Ελληνικά.pdf"),
                                            CopyOf("sample.djvu", "Ελληνικά/Книга.djvu"),
                                            Book("日本/" + kCp1251Name + ".pdf"),
                                            CopyOf("sample.djvu", "日本/" + kKoi8Name + ".djvu"),
                                            Book("日本/" + kNoTextName + ".pdf"),
                                            CopyOf("sample.djvu", "日本/" + kBackslashName + ".djvu")};
  const std::string book = folder + "book.pdf";
  WriteBytes(book, PdfWithLinks({"<< /S /GoToR /F <FEFF039503BB03BB03B703BD03B903BA03AC002E007000640066> "
                                 "/D [1 /Fit] >>",
                                 "<< /S /URI /URI (" + FileUrl(targets[1]) + ") >>",
                                 "<< /S /URI /URI (" + FileUrl(kCp1251Name + ".pdf") + ") >>",
                                 "<< /S /URI /URI (" + FileUrl(kKoi8Name + ".djvu") + ") >>",
                                 "<< /S /URI /URI (" + FileUrl(targets[4]) + ") >>",
                                 "<< /S /URI /URI (" + FileUrl(kBackslashName + ".djvu") + ") >>"}));
  for (std::size_t i = 0; i < targets.size(); ++i) {
    form->OpenFromCommandLine({book});
    ASSERT_TRUE(View().Active());
    TPluginLinkAreaList& areas = View().Page()->GetLinkAreas();
    ASSERT_EQ(areas.Count(), int(targets.size()));
    TPluginLinkReader link = *areas.Items(int(i))->Reader;
    form->LinkExecute(&View(), &link);
    EXPECT_TRUE(std::filesystem::equivalent(form->CurrentFile, targets[i])) << link.GetText();
    EXPECT_TRUE(View().Active()) << targets[i];
  }
  EXPECT_EQ(form->CurrentPage, 1);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

// Saving a new version over the book being read, or deleting it, leaves every
// page of the open one readable, also those not shown yet.
TEST_F(RealFilesTest, EveryPageStaysWhenTheOpenFileIsDeletedOrReplaced) {
  Start();
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  for (const bool replace : {false, true}) {
    for (const std::string& file : {Book("victim.pdf"), CopyOf("sample.djvu", "victim.djvu")}) {
      form->OpenFromCommandLine({file});
      ASSERT_TRUE(View().Active()) << file;
      const int pages = form->Viewer->PageCount();
      if (replace) {
        WriteBytes(file + ".new", "a new version being written");
        std::filesystem::rename(file + ".new", file);
      } else {
        std::filesystem::remove(file);
      }
      for (int page = pages; page >= 1; --page) {
        form->GotoPage(page);
        EXPECT_TRUE(View().Active()) << file << " page " << page;
        EXPECT_GE(FirstInkRow(Screen()), 0) << file << " page " << page;
      }
      std::filesystem::remove(file);
    }
  }
  EXPECT_TRUE(messages.empty()) << messages.front();
}
