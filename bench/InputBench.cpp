// Parsing and laying out exercise bodies of growing size: the cost should
// grow about linearly with the number of words.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "exercise/RLParser.h"
#include "exercise/TagTable.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"

namespace {

// A body of the given number of words in the course's mix: plain words,
// styled runs, glued spacers, line breaks and ruled lines.
std::string GeneratedBody(int words) {
  static const std::string vocabulary[] = {"слово"_cp,  "дом"_cp,         "ученик"_cp, "написал,"_cp, "и"_cp,
                                           "быстро"_cp, "предложение"_cp, "в"_cp,      "тетради."_cp};
  std::string body = "<lines>";
  for (int i = 0; i < words; ++i) {
    const std::string& word = vocabulary[i % std::size(vocabulary)];
    if (i % 40 == 7) {
      body += "<b>" + word + "</b> ";
    } else if (i % 25 == 3) {
      body += word + "<space width=2> ";
    } else if (i % 120 == 119) {
      body += word + "<br>";
    } else {
      body += word + " ";
    }
  }
  return body;
}

void ParseAndLayout(benchmark::State& state) {
  const std::string body = GeneratedBody(int(state.range(0)));
  TForm window;
  window.SetBounds(0, 0, 1000, 800);
  TFont font;
  font.Name = "Times New Roman";
  font.SetSize(-18);
  for (auto _ : state) {
    TRLParser parser(&window);
    parser.SetParent(&window);
    parser.SetFont(font);
    parser.WordsReserveHeight = true;
    parser.ParseParameters(body);
    benchmark::DoNotOptimize(parser.Height());
    // The trainer handles the queued events after building a page; so do we,
    // or every freed control would search a queue of thousands.
    QCoreApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(ParseAndLayout)->Arg(500)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  InitFonts();
  InitExerciseTags();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
