// Book descriptions: the XML text of book folders, books, page folders and
// page ranges that a plug-in may return, read as the viewer reads it (a
// NUL-terminated text) into its tree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "viewer/BookDescription.h"

namespace {

// Every node's children name it as their parent; returns the node count.
std::size_t Walk(const TTocNode& node) {
  std::size_t count = 1;
  for (const auto& child : node.Children) {
    if (!child || child->Parent != &node) Fault("a child that does not name its parent");
    count += Walk(*child);
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ExpectDocumentedOutcome([&] {
    const TTOC toc(text.c_str());
    if (!toc.Loaded() && toc.Error().empty()) Fault("a refused description without a reason");
    if (toc.Loaded()) {
      if (toc.Root()->Parent) Fault("a root with a parent");
      Walk(*toc.Root());
    }
  });
  return 0;
}
