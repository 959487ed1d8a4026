// "Settings.ini": the body font's scale table, read as the program starts,
// then used on a page far shorter and one far longer than its area.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "exercise/ScaleSettings.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTrainer.h"

namespace {

std::string shortPage, longPage;

std::string WriteText(const std::string& name, const std::string& text) {
  return WriteScratchFile(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  TFuzzTrainer::Get();
  shortPage = WriteText("short.cml", "Task<~~~><~~~>One <edit width=3 answer=abc> line.");
  std::string body;
  for (int i = 0; i < 60; ++i) body += "Line <edit width=2 answer=ab> of a long page.<br>";
  longPage = WriteText("long.cml", "Task<~~~><~~~>" + body);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile("Settings.ini", data, size);
  ExpectDocumentedOutcome([&] { LoadScaleSettings(path); });
  for (double ratio : {0.0, 0.5, 1.0, 1e9, -1.0, std::numeric_limits<double>::infinity(), std::nan("")})
    LookupScale(ratio);
  TFuzzTrainer& trainer = TFuzzTrainer::Get();
  for (const std::string& page : {shortPage, longPage}) {
    ExpectDocumentedOutcome([&] { trainer.BuildDocument(page); });
  }
  return 0;
}
