#pragma once
// The viewer's PDF samples: sample.pdf, pages of Russian text drawn by Qt's
// PDF writer with a web link, and links.pdf, written object by object, with
// what the writer cannot make: links inside the document and to other files,
// and an outline.

#include <QString>

void WriteSamplePdf(const QString& path);
void WriteLinksPdf(const QString& path);
