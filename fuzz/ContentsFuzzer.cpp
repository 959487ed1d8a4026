// "contents.txt": the contents beside a topic's documents, one label per
// line, each opening the document its number names when clicked.
#include <QPointer>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTrainer.h"
#include "platform/Label.h"
#include "trainer/WorkFrame.h"

namespace {

std::vector<std::string> documents;
// More clicks add nothing but time: every label runs the same handler.
constexpr std::size_t kMaxClicks = 12;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  TFuzzTrainer::Get();
  for (const char* name : {"01.cml", "02.cml", "03.cml"}) {
    const std::string text = std::string("Task ") + name + "<~~~><~~~>Word <edit width=1 answer=a>.";
    documents.push_back(
        WriteScratchFile(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  TFuzzTrainer::Get().LoadDocuments(documents);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteScratchFile("contents.txt", data, size);
  TWorkFrame& frame = TFuzzTrainer::Get().Frame();
  ExpectDocumentedOutcome([&] { frame.BuildContents(); });
  const std::vector<QPointer<TLabel>> labels = frame.ContentsLabels;
  for (std::size_t i = 0; i < labels.size() && i < kMaxClicks; ++i) {
    if (labels[i] && labels[i]->OnClick)
      ExpectDocumentedOutcome([&] { labels[i]->OnClick(labels[i].data()); });
  }
  return 0;
}
