#pragma once

#include <QImage>

// Where a bitmap's pixels live: a new picture of width x height, all white,
// in ARGB32. Throws Exception when there is not memory enough for it.
QImage WhiteImage(int width, int height);
