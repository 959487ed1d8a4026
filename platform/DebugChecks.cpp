#include "platform/DebugChecks.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace {

TCheckFailureSink& Sink() {
  static TCheckFailureSink sink;
  return sink;
}

}  // namespace

bool PaintCheckOn() {
  static const bool on = qEnvironmentVariableIntValue("QUILLON_PAINT_CHECK") != 0;
  return on;
}

bool DeepBitmapCopiesOn() {
  static const bool on = qEnvironmentVariableIntValue("QUILLON_DEEP_BITMAP_COPIES") != 0;
  return on;
}

void SetCheckFailureSink(TCheckFailureSink sink) {
  Sink() = std::move(sink);
}

void ReportCheckFailure(const std::string& message) {
  if (Sink()) {
    Sink()(message);
    return;
  }
  std::fprintf(stderr, "Check failed: %s\n", message.c_str());
  std::fflush(stderr);
  std::abort();
}
