#pragma once
// What the fake plug-in counts, read by the tests through its extra export
// "FakeCounters" (not part of the plug-in interface).

#include <stdint.h>

struct TFakeCounters {
  int32_t DocumentsAlive;
  int32_t PagesAlive;
  int32_t ContextsAlive;
  int32_t OpenCalls;      // OpenDocument and OpenDocumentUtf8
  int32_t Utf8OpenCalls;  // OpenDocumentUtf8
  int32_t SetupCalls;     // SetupPlugin
  int32_t DestroyCalls;   // DestroyDocument, with a 0 handle too
};

typedef TFakeCounters* (*TFakeCountersProc)(void);
