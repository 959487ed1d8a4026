#pragma once
// TFont: a font as the system describes it, turned into a Qt font that has the
// same cell. Logical resolution is fixed at 96 pixels per inch.
//
// Height > 0 asks for a cell (ascent + descent) of Height pixels, Height < 0
// for a character (em) height of -Height pixels. Size is in points:
// Size -N means Height +N*96/72 (a cell of 19 pixels for -14), Size +N means
// Height -N*96/72.

#include <QFont>
#include <QFontMetrics>
#include <string>

#include "platform/Types.h"

constexpr int ScreenPixelsPerInch = 96;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

class TFont {
 public:
  std::string Name = "Tahoma";  // the face the system asks for
  TColor Color = clWindowText;
  TFontStyles Style = 0;

  int Height() const { return height_; }
  void SetHeight(int height) { height_ = height; }
  int Size() const;
  void SetSize(int size);
  bool Bold() const { return Style & fsBold; }

  // The Qt font with the face substituted and its em (pixel size) scaled as
  // GDI scales it, so that the face's Windows ascent + descent fill a cell of
  // Height (or the em is -Height); full hinting, no kerning; cached per face,
  // height and style. Measure widths with Metrics().
  QFont ToQFont() const;
  QFontMetrics Metrics() const;
  // The cell as GDI reports it (ascent, descent and their sum) from the
  // face's Windows metrics. Qt's own height() may differ by a pixel (it reads
  // other tables, and pixel sizes are whole), so place and measure text
  // vertically with these.
  int Ascent() const;
  int Descent() const;
  int CellHeight() const;

  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  int height_ = -11;  // Size 8
};

// A font set up in one expression, as screens build their labels' fonts.
TFont MakeFont(const std::string& name, int height, TColor color = clWindowText, TFontStyles style = 0);

// The installed face that stands for a Windows face name (Times New Roman ->
// Liberation Serif, Tahoma -> Wine's Tahoma or DejaVu Sans, ...).
QString SubstituteFace(const std::string& name);
// Registers the font files that the substitution needs (Wine's Tahoma); call
// once after the QApplication exists. The first substitution does it anyway.
void InitFonts();

// Text measuring on a memory canvas, usable before any window exists: the
// width is the sum of the glyph advances (no kerning, as GDI), the height is
// the cell height whatever the text.
int TextWidth(const TFont& font, const std::string& text);
int TextHeight(const TFont& font, const std::string& text);
