// The skins' margins files ("checkbox.txt", "inputtext.txt": left, right,
// top and bottom), read when a page makes its check boxes and comma places,
// and used by the nine-slice stretch that paints them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTrainer.h"

namespace {

std::string page;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  TFuzzTrainer::Get();
  const std::string text =
      "Task<~~~><~~~><checkbox caption=\"A long caption that wraps in its box\" answer=1><br>"
      "Words<comma answer=1> and more words<comma>.<br><checkbox caption=\"x\">";
  page = WriteScratchFile("skins.cml", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzTrainer& trainer = TFuzzTrainer::Get();
  for (const char* skin : {"imgs/checkbox.txt", "imgs/inputtext.txt"}) WriteScratchFile(skin, data, size);
  ExpectDocumentedOutcome([&] { trainer.BuildDocument(page); });
  ExpectDocumentedOutcome([&] { trainer.CheckResetAndPaint(); });
  return 0;
}
