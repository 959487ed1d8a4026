// The viewer's rendering speed and memory, on the sample documents or on the
// files given on the command line:
//   - the plug-ins' row loops alone, each set the processor runs, converting
//     a letter page at 300 dpi into every row format, with the build type
//     whose compiler flags made them;
//   - every page through the library alone (poppler-qt6 renderToImage, or
//     ddjvuapi into a buffer of ours), through the plug-in's Blit export in
//     every pixel format, and through the page view onto the screen, at 96 and
//     300 dpi, alternated page by page; medians in ms per page and the ratios;
//   - in a child process each: a 585 x 768 viewer window zoomed step by step
//     to 400 % and panned, with the time of each step and the RSS; and the time
//     from start to the first page on the screen.
// Runs on the platform the environment names (offscreen unless told; `make
// bench` runs it on an X server, Xvfb, where there is one) and says which;
// under X a step is timed until the X server has carried out what it drew.
// Usage: viewer_bench [--rounds N] [file.pdf|file.djvu ...]
#include <libdjvu/ddjvuapi.h>
#include <poppler-qt6.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/OnScreen.h"
#include "platform/Forms.h"
#include "plugins/common/PixelWriter.h"
#include "plugins/djvu/DjvuSession.h"
#include "tests/support/BlitBuffer.h"
#include "viewer/DocsViewer.h"
#include "viewer/PageView.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0 : sum / double(values.size());
}

// Resident set now and at its peak, in MiB.
double RssMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024;
}

// Shows form and waits until the platform exposes it: before that a repaint
// paints nothing.
void ShowExposed(TForm& form) {
  form.Show();
  const auto start = Clock::now();
  while (!(form.windowHandle() && form.windowHandle()->isExposed()) && MsSince(start) < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  QCoreApplication::processEvents();
}

bool IsDjvu(const std::string& file) {
  return QFileInfo(QString::fromStdString(file)).suffix().toLower() == "djvu";
}

// One page through the library the plug-in wraps, at w x h pixels.
class TLibraryRenderer {
 public:
  virtual ~TLibraryRenderer() = default;
  virtual void Render(int page, int w, int h) = 0;
};

class TPopplerRenderer : public TLibraryRenderer {
 public:
  explicit TPopplerRenderer(const std::string& file) : document_(Poppler::Document::load(file.c_str())) {
    document_->setRenderHint(Poppler::Document::Antialiasing);
    document_->setRenderHint(Poppler::Document::TextAntialiasing);
    for (int i = 0; i < document_->numPages(); ++i) pages_.push_back(document_->page(i));
  }
  void Render(int page, int w, int h) override {
    const QSizeF points = pages_[std::size_t(page - 1)]->pageSizeF();
    const QImage image =
        pages_[std::size_t(page - 1)]->renderToImage(72.0 * w / points.width(), 72.0 * h / points.height());
    if (image.isNull()) std::fprintf(stderr, "poppler rendered nothing\n");
  }

 private:
  std::unique_ptr<Poppler::Document> document_;
  std::vector<std::unique_ptr<Poppler::Page>> pages_;
};

class TDjvuRenderer : public TLibraryRenderer {
 public:
  explicit TDjvuRenderer(const std::string& file) : session_(QString::fromStdString(file)) {
    unsigned int masks[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000};
    format_ = ddjvu_format_create(DDJVU_FORMAT_RGBMASK32, 4, masks);
    ddjvu_format_set_row_order(format_, 1);
    ddjvu_format_set_y_direction(format_, 1);
    for (int i = 0; i < session_.PageCount(); ++i) pages_.push_back(session_.DecodedPage(i));
  }
  ~TDjvuRenderer() override {
    for (ddjvu_page_t* page : pages_) ddjvu_page_release(page);
    ddjvu_format_release(format_);
  }
  void Render(int page, int w, int h) override {
    // The caller's buffer is the caller's business: it is kept between pages.
    buffer_.resize(std::size_t(w) * std::size_t(h) * 4);
    const ddjvu_rect_t rect{0, 0, unsigned(w), unsigned(h)};
    ddjvu_page_render(pages_[std::size_t(page - 1)], DDJVU_RENDER_COLOR, &rect, &rect, format_,
                      unsigned(w) * 4, buffer_.data());
  }

 private:
  TDjvuSession session_;
  ddjvu_format_t* format_ = nullptr;
  std::vector<ddjvu_page_t*> pages_;
  std::vector<char> buffer_;
};

std::unique_ptr<TLibraryRenderer> LibraryRenderer(const std::string& file) {
  if (IsDjvu(file)) return std::make_unique<TDjvuRenderer>(file);
  return std::make_unique<TPopplerRenderer>(file);
}

// The plug-in's Blit export into buffers kept between renders, as the
// viewer's bitmaps are: one a pixel format, so that no render pays for
// growing the buffer another format left smaller.
class TExportRenderer {
 public:
  TExportRenderer(TPluginDocument& document, int pages) : document_(document) {
    for (int n = 1; n <= pages; ++n) pages_.push_back(document.GetPage(n));
  }
  ~TExportRenderer() {
    for (TPluginPage2* page : pages_) document_.ReleasePage(page);
  }
  bool Render(int page, int code, int w, int h) {
    TPlugin& plugin = *document_.Plugin();
    const TPluginHandle handle = pages_[std::size_t(page - 1)]->Handle();
    int32_t width = w, height = h;
    if (plugin.SetPagePixelFormat(handle, code) != code ||
        !plugin.SetPageSize(handle, &width, &height, FOLIO_SIZE_EXACT))
      return false;
    return plugin.Blit(handle, &buffers_[code].Target(code, w, h)) != 0;
  }

 private:
  TPluginDocument& document_;
  std::vector<TPluginPage2*> pages_;
  std::map<int, TBlitBuffer> buffers_;
};

// A page view on a borderless window as large as the page, so the whole
// page is on screen: a render is InvalidateBuffer and a synchronous repaint.
class TViewRenderer {
 public:
  explicit TViewRenderer(const std::string& file) {
    form_.SetBorderStyle(bsNone);
    view_ = new TPluginPageView(nullptr);
    view_->SetParent(&form_);
    view_->SetFileName(file);
    ShowExposed(form_);
  }
  ~TViewRenderer() { delete view_; }
  bool Show(int page, int w, int h) {
    view_->SetPageIndex(page);
    view_->SetActive(true);
    view_->SetBuffered(true);
    form_.SetBounds(0, 0, w, h);
    view_->SetPageBounds(0, 0, w, h);
    QCoreApplication::processEvents();
    return view_->Active() && view_->Width() == w && view_->Height() == h;
  }
  void Render() {
    view_->InvalidateBuffer();
    view_->repaint();
    SyncWithScreen();
  }

 private:
  TForm form_;
  TPluginPageView* view_ = nullptr;
};

const std::map<int, const char*> kFormats{{FOLIO_PIXELS_RGBX, "rgbx"},
                                          {FOLIO_PIXELS_RGB, "rgb"},
                                          {FOLIO_PIXELS_GREY, "grey"},
                                          {FOLIO_PIXELS_MONO, "mono"}};

// The row loops alone: a letter page at 300 dpi (2550 x 3300) of varied
// pixels into every row format, with each set of loops the processor runs.
void RowLoops(int rounds) {
  const int w = 2550, h = 3300;
  QImage picture(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < w; ++x) row[x] = qRgb(x * 7 + y, x ^ y, y * 3 - x);
  }
  std::printf("row loops, %d x %d page, %s build, median ms:\n", w, h, BENCH_BUILD_TYPE);
  const std::pair<TRowLoops, const char*> sets[] = {{TRowLoops::Baseline, "baseline"}, {TRowLoops::Avx2, "avx2"}};
  for (const auto& [loops, setName] : sets) {
    if (!UseRowLoops(loops)) continue;
    for (const auto& [code, name] : kFormats) {
      TBlitBuffer buffer;
      std::vector<double> times;
      for (int round = 0; round < 3 * rounds; ++round) {
        const TBlitRec& target = buffer.Target(code, w, h);
        const auto start = Clock::now();
        WritePixels(picture, code, target);
        times.push_back(MsSince(start));
      }
      std::printf("  %-8s %-5s %8.2f\n", setName, name, Median(times));
    }
  }
  if (!UseRowLoops(TRowLoops::Avx2)) UseRowLoops(TRowLoops::Baseline);
}

// Every page of file at both resolutions, the ways alternated round by round.
void RenderPages(const std::string& file, int rounds) {
  TPluginDocument* document = FileManager->Open(file);
  if (!document) {
    std::printf("%s: no plug-in opens it\n", file.c_str());
    return;
  }
  document->AddRef();
  const int pages = std::min(document->PageCount(), 8);
  auto library = LibraryRenderer(file);
  {
    TExportRenderer exports(*document, pages);
    TViewRenderer view(file);
    TPluginPage2* probe = document->GetPage(1);
    const double widthMm = probe->WidthMm(), heightMm = probe->HeightMm();
    document->ReleasePage(probe);
    for (const int dpi : {96, 300}) {
      const int w = int(std::lround(widthMm / 25.4 * dpi)), h = int(std::lround(heightMm / 25.4 * dpi));
      std::map<std::string, std::vector<double>> times;
      for (int round = 0; round < rounds; ++round) {
        for (int page = 1; page <= pages; ++page) {
          auto start = Clock::now();
          library->Render(page, w, h);
          times["library"].push_back(MsSince(start));
          for (const auto& [code, name] : kFormats) {
            start = Clock::now();
            if (!exports.Render(page, code, w, h)) std::printf("  export %s failed\n", name);
            times[std::string("export ") + name].push_back(MsSince(start));
          }
          if (!view.Show(page, w, h)) std::printf("  the view does not show page %d\n", page);
          start = Clock::now();
          view.Render();
          times["view"].push_back(MsSince(start));
        }
      }
      const double lib = Median(times["library"]), rgbx = Median(times["export rgbx"]);
      std::printf("%s, %d pages, %d dpi (%d x %d), median ms per page:\n",
                  QFileInfo(file.c_str()).fileName().toUtf8().constData(), pages, dpi, w, h);
      std::printf("  %-12s %8.2f\n", "library", lib);
      for (const auto& [code, name] : kFormats) {
        const double t = Median(times[std::string("export ") + name]);
        std::printf("  export %-5s %8.2f   %.2fx library\n", name, t, t / lib);
      }
      const double view_ms = Median(times["view"]);
      std::printf("  %-12s %8.2f   %.2fx export rgbx, %.2fx library\n", "view", view_ms, view_ms / rgbx,
                  view_ms / lib);
    }
  }
  document->Release();
}

// The viewer in a borderless window of its own size, showing the first page
// of file fitted, as it starts.
struct TFittedViewer {
  TForm form;
  TPluginDocsViewer* viewer;

  explicit TFittedViewer(const std::string& file) {
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 585, 768);
    viewer = new TPluginDocsViewer(&form, &form);
    ShowExposed(form);
    viewer->OpenPage(file, 1);
    viewer->SetZoomMode(zmFitClient);
    form.repaint();
  }
};

// The program's zoom steps in a window of the viewer's size: fit, then zoom in
// to past 400 %, then pan across the page; the time of each step.
void ZoomAndPan(const std::string& file) {
  TFittedViewer window(file);
  TForm& form = window.form;
  TPluginDocsViewer* viewer = window.viewer;
  TPluginPageView* view = viewer->View();
  std::printf("zoom and pan in 585 x 768, %s: fit at %d %%, RSS %.1f MiB\n",
              QFileInfo(file.c_str()).fileName().toUtf8().constData(), viewer->Zoom(), RssMiB());
  double at300 = 0, at400 = 0;
  int zoom = viewer->Zoom();
  while (zoom < 400) {
    const auto start = Clock::now();
    viewer->ZoomIn();
    form.repaint();
    SyncWithScreen();
    const double ms = MsSince(start);
    if (viewer->Zoom() == zoom) break;
    zoom = viewer->Zoom();
    if (zoom >= 300 && at300 == 0) at300 = ms;
    if (zoom >= 400) at400 = ms;
  }
  std::printf("  zoom step to ~300 %%: %.1f ms; to %d %%: %.1f ms\n", at300, zoom, at400);
  std::printf("  at %d %%: page %d x %d, RSS %.1f MiB, peak %.1f MiB (the window's bitmap: %.1f MiB)\n", zoom,
              view->Width(), view->Height(), RssMiB(), PeakRssMiB(), 585.0 * 768 * 4 / (1 << 20));
  std::vector<double> steps;
  for (int i = 0; i < 120; ++i) {
    const int dx = i < 60 ? -9 : 7, dy = -13;
    const auto start = Clock::now();
    view->SetBoundsConstrained(view->Left() + dx, view->Top() + dy, view->Width(), view->Height());
    form.repaint();
    SyncWithScreen();
    steps.push_back(MsSince(start));
  }
  std::printf(
      "  pan steps of 9-13 px: first %.1f ms, median %.2f ms, mean %.2f ms, max %.1f ms; RSS %.1f MiB, "
      "peak %.1f MiB\n",
      steps.front(), Median(steps), Mean(steps), *std::max_element(steps.begin(), steps.end()), RssMiB(),
      PeakRssMiB());
  int steps_taken = 0;
  while (steps_taken < 40) {
    viewer->ZoomIn();
    form.repaint();
    if (viewer->Zoom() == zoom) break;
    zoom = viewer->Zoom();
    ++steps_taken;
  }
  std::printf("  largest zoom reached: %d %% (%s), page %d x %d, RSS %.1f MiB, peak %.1f MiB\n", zoom,
              steps_taken == 40 ? "still growing" : "refused", view->Width(), view->Height(), RssMiB(),
              PeakRssMiB());
}

// The first page on screen, as the viewer shows it at start: fitted.
void FirstPage(const std::string& file, Clock::time_point start) {
  const TFittedViewer window(file);
  const bool shown = WaitUntilOnScreen(*window.viewer->View());
  std::printf("first page on screen, %s: %.1f ms from start, RSS %.1f MiB%s\n",
              QFileInfo(file.c_str()).fileName().toUtf8().constData(), MsSince(start), RssMiB(),
              shown ? "" : " (the screen never showed it: not valid)");
}

// Runs this program again with mode and file, for a clean RSS.
void RunChild(const char* self, const char* mode, const std::string& file) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    execl(self, self, mode, file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const auto start = Clock::now();
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  std::vector<std::string> files;
  std::string mode;
  int rounds = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--zoom" || arg == "--first")
      mode = arg;
    else if (arg == "--rounds" && i + 1 < argc)
      rounds = std::max(1, std::atoi(argv[++i]));
    else
      files.push_back(arg);
  }
  if (files.empty()) files = {FOLIOSCOPE_TREE "/sample.pdf", FOLIOSCOPE_TREE "/sample.djvu"};
  StartPluginLayer(FOLIOSCOPE_TREE "/Plugins/");
  if (mode == "--zoom") {
    ZoomAndPan(files.front());
  } else if (mode == "--first") {
    FirstPage(files.front(), start);
  } else {
    std::printf("viewer_bench on %s\n", qPrintable(PlatformDescription()));
    RowLoops(rounds);
    for (const std::string& file : files) RenderPages(file, rounds);
    for (const std::string& file : files) RunChild(argv[0], "--first", file);
    for (const std::string& file : files) RunChild(argv[0], "--zoom", file);
  }
  StopPluginLayer();
  return 0;
}
