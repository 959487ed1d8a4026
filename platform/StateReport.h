#pragma once
// Lines about the program's state on standard output, for the end-to-end tests
// that drive the real programs under an X server with real key presses. Only
// when the environment variable QUILLON_TEST_REPORT is set; silent otherwise.

#include <string>

class QWidget;

bool StateReportOn();
// Writes line and a line end, at once.
void ReportState(const std::string& line);
// Writes "name x y" with the screen position of the middle of widget.
void ReportPlace(const std::string& name, const QWidget& widget);
