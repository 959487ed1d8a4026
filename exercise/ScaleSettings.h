#pragma once
// The body font's scale table from "Settings.ini": a page much shorter or
// longer than the visible area is built again in a larger or smaller font.

#include <string>
#include <vector>

// One row: below this ratio of content height to visible height, step the
// font by Step (two size units each; positive enlarges).
struct TScaleRec {
  double Threshold = 0;
  int Step = 0;
};

// Rows in file order; empty without "Settings.ini".
extern std::vector<TScaleRec> ScaleTable;

// The step of the first row in file order whose threshold exceeds ratio; 0 when none does.
int LookupScale(double ratio);

// Reads the rows "threshold=step" (the threshold with "." as decimal
// separator whatever the locale) of path into ScaleTable; a missing file
// leaves it empty. A line that is no such row is reported in a message box,
// and the rows before it are kept; a file that cannot be read or is larger
// than 64 KB is reported and leaves the table empty.
void LoadScaleSettings(const std::string& path = "Settings.ini");
