#pragma once
// The fonts of the in-text tags "font" and "fontsize".

#include <string>

#include "platform/Font.h"

// Font sizes beyond this many points are clamped: larger ones only come from
// broken documents and would make the text measuring allocate without bound.
constexpr int MaxMarkupFontSize = 500;

// Makes *font a copy of base, then applies the "name", "size" and "color"
// attributes of attrs ("#0000FF" is red: digits in $BBGGRR order). A null
// font is left alone.
void ApplyFontAttributes(const std::string& attrs, TFont* font, const TFont& base);

// The size that "<fontsize N>" gives: two size units per step away from zero
// for positive N, towards zero for negative N; a size of 0 stays 0.
int FontSizeStep(const std::string& arg, const TFont& font);
