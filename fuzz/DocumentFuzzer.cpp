// Exercise documents (header, hint and body in the exercise markup), read
// from a file and built by the page builder on the exercise screen, then
// checked, reset and painted.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTrainer.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  TFuzzTrainer::Get();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzTrainer& trainer = TFuzzTrainer::Get();
  const std::string path = WriteScratchFile("document.cml", data, size);
  ExpectDocumentedOutcome([&] { trainer.BuildDocument(path); });
  ExpectDocumentedOutcome([&] { trainer.CheckResetAndPaint(); });
  return 0;
}
