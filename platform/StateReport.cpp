#include "platform/StateReport.h"

#include <QWidget>
#include <cstdio>
#include <cstdlib>

bool StateReportOn() {
  static const bool on = std::getenv("QUILLON_TEST_REPORT") != nullptr;
  return on;
}

void ReportState(const std::string& line) {
  if (!StateReportOn()) return;
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

void ReportPlace(const std::string& name, const QWidget& widget) {
  if (!StateReportOn()) return;
  const QPoint middle = widget.mapToGlobal(widget.rect().center());
  ReportState(name + " " + std::to_string(middle.x()) + " " + std::to_string(middle.y()));
}
