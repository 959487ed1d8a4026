// The trainer's inputs at sizes 1x, 4x, 16x and 64x: exercise documents of
// several shapes (parsed, laid out, checked and reset), "contents.txt" and
// "Settings.ini". Each cost should grow linearly with the size: the time and
// the heap per input byte should stay about the same from 1x to 64x.
//
// Runs in the trainer's tree of this build (its pictures and skins).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "exercise/RLControl.h"
#include "exercise/RLParser.h"
#include "exercise/ScaleSettings.h"
#include "exercise/TagTable.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"
#include "platform/StringList.h"
#include "exercise/TextTokens.h"
#include "tests/support/DenseExercise.h"
#include "trainer/WorkFrame.h"

namespace {

const int kScales[] = {1, 4, 16, 64};

std::string Repeat(const std::string& unit, int n) {
  std::string out;
  out.reserve(unit.size() * std::size_t(n));
  for (int i = 0; i < n; ++i) out += unit;
  return out;
}

// The body of a document as the page builder hands it to its parser.
std::string Body(const std::string& document) {
  std::string text;
  for (char c : document)
    if (c != '\n') text += c == '\r' ? ' ' : c;
  SplitAt(text, "<~~~>", true);
  SplitAt(text, "<~~~>", true);
  return SplitAt(text, "<~~~>", true);
}

// Document bodies of size n (in units of their shape).
struct TShape {
  const char* Name;
  int Unit;  // the units at 1x
  std::function<std::string(int n)> Make;
};

const TShape kShapes[] = {
    // The course's mix of words, fields, comma places, check boxes and corrections.
    {"words", 250, [](int n) { return Body(DenseExercise(n).text); }},
    // Passages nested as deep as markup may go, one after another.
    {"nested", 8,
     [](int n) { return Repeat(Repeat("<editable ", 15) + "слово <error text=a answer=b>"_cp + Repeat(">", 15), n); }},
    // Passages opened and never closed: the nesting bound stops them.
    {"unclosed", 500, [](int n) { return Repeat("<editable ", n); }},
    {"error words", 250, [](int n) { return "<editable " + Repeat("<error text=a answer=b> ", n) + ">"; }},
    // One item with a long attribute text: a key after another.
    {"error keys", 500, [](int n) { return "<editable " + Repeat("<error text=", n); }},
    // A run of controls glued together, far wider than a line.
    {"glued run", 250, [](int n) { return Repeat("a<space width=2>", n); }},
    {"radio items", 100,
     [](int n) { return "<radiogroup " + Repeat("<rgi caption=\"один два\" checked=0>"_cp, n) + ">"; }},
    // A single word of n KB.
    {"long word", 1, [](int n) { return std::string(std::size_t(n) << 10, 'x'); }},
};

std::size_t HeapInUse() {
  return mallinfo2().uordblks + mallinfo2().hblkhd;
}

// Reports the heap a built input holds per byte of it.
void ReportHeap(benchmark::State& state, std::size_t before, std::size_t bytes) {
  const std::size_t after = HeapInUse();
  state.counters["heap/byte"] = double(after > before ? after - before : 0) / double(bytes);
}

void BuildDocument(benchmark::State& state, const TShape& shape) {
  const std::string body = shape.Make(shape.Unit * int(state.range(0)));
  TForm window;
  window.SetBounds(0, 0, 1000, 800);
  TFont font;
  font.Name = "Times New Roman";
  font.SetSize(-18);
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto* parser = new TRLParser(&window);
    parser->SetParent(&window);
    parser->SetFont(font);
    parser->WordsReserveHeight = true;
    try {
      parser->ParseParameters(body);
    } catch (const Exception&) {
      // A refused document is built up to its fault, as the trainer does.
    }
    // As in the trainer, the page's queued events run before the learner
    // checks it, and the dialog's before a reset.
    QCoreApplication::processEvents();
    CheckChildren(parser);
    QCoreApplication::processEvents();
    ResetChildren(parser);
    state.PauseTiming();
    ReportHeap(state, before, body.size());
    // The trainer handles the queued events after building a page, before
    // it frees it; so do we, or every freed control would search a queue of
    // thousands.
    QCoreApplication::processEvents();
    delete parser;
    state.ResumeTiming();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(body.size()));
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A topic's contents of n lines beside its one document, read by the exercise screen.
void ReadContents(benchmark::State& state) {
  QTemporaryDir folder;
  const std::string topic = folder.path().toStdString() + "/";
  WriteFile(topic + "01.cml", "Задание<~~~><~~~>Слово."_cp);
  std::string contents;
  for (int i = 0; i < 14 * state.range(0); ++i) contents += std::to_string(i + 1) + ". Упражнение\r\n"_cp;
  WriteFile(topic + "contents.txt", contents);
  TForm host;
  host.SetBounds(0, 0, 1280, 1024);
  auto* frame = new TWorkFrame(&host);
  frame->SetParent(&host);
  frame->SetAlign(alClient);
  frame->Files.Add(topic + "01.cml");
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    frame->BuildContents();
    state.PauseTiming();
    ReportHeap(state, before, contents.size());
    // Without documents the contents are freed and none are built.
    frame->Files.Clear();
    frame->BuildContents();
    frame->Files.Add(topic + "01.cml");
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(contents.size()));
}

// "Settings.ini" of n rows, or of one line of n KB that is no row.
void ReadSettings(benchmark::State& state, bool oneLine) {
  QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/Settings.ini";
  const std::string text = oneLine ? std::string(std::size_t(state.range(0)) << 10, '7')
                                   : Repeat("0.6=2\r\n0.8=1\r\n1.25=-1\r\n", 40 * int(state.range(0)));
  WriteFile(path, text);
  for (auto _ : state) LoadScaleSettings(path);
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

void RegisterAll() {
  for (const TShape& shape : kShapes) {
    auto* b = benchmark::RegisterBenchmark((std::string("document/") + shape.Name).c_str(),
                                           [&shape](benchmark::State& s) { BuildDocument(s, shape); });
    for (int scale : kScales) b->Arg(scale);
    b->Unit(benchmark::kMillisecond);
  }
  auto* contents = benchmark::RegisterBenchmark("contents.txt/lines", ReadContents);
  auto* rows = benchmark::RegisterBenchmark("Settings.ini/rows", [](benchmark::State& s) { ReadSettings(s, false); });
  auto* line = benchmark::RegisterBenchmark("Settings.ini/one line", [](benchmark::State& s) { ReadSettings(s, true); });
  for (auto* b : {contents, rows, line}) {
    for (int scale : kScales) b->Arg(scale);
    b->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application->Initialize(argc, argv);
  Application->Title = "input_bench";
  // A refused settings line shows a message box: counted here, not shown.
  Application->SetMessageSink([](const std::string&, const std::string&) {});
  QDir::setCurrent(QUILLON_TREE);
  InitExerciseTags();
  ImagesFolder = std::string(QUILLON_TREE) + "/imgs/";
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Application->Shutdown();
  return 0;
}
