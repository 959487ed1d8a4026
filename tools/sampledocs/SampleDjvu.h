#pragma once
// The sources of the viewer's DjVu sample, which djvulibre's tools turn into
// sample.djvu at build time: page1.pbm (bitonal), page2.ppm (colour) and
// sample.djvused, the hidden text, hyperlinks, outline and the orientation of
// page 3 (page 1 again, turned) for djvused. The hidden text's word boxes are
// where the words were drawn.

#include <QString>

void WriteDjvuSources(const QString& folder);
