#include "platform/Font.h"

#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "platform/Cp1251.h"
#include "platform/LruCache.h"
#include "platform/StrUtils.h"

namespace {

// fontconfig does not know Wine's folder, so its Tahoma is registered by hand.
const char* const WineFontFiles[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                     "/usr/share/wine/fonts/tahomabd.ttf"};
const char* const FallbackFace = "DejaVu Sans";

// Sizes come from documents; beyond this Qt would rasterise absurd glyphs.
constexpr int MaxPixelHeight = 2048;
// GDI's default for a height of 0; the class library's default font size.
constexpr int DefaultHeight = -11;

struct TFaceSubstitute {
  const char* Windows;
  const char* Installed;
};
const TFaceSubstitute Substitutes[] = {{"Times New Roman", "Liberation Serif"},
                                       {"Arial", "Liberation Sans"},
                                       {"Courier New", "Liberation Mono"},
                                       {"Tahoma", "Tahoma"}};

const QStringList& InstalledFamilies() {
  static const QStringList families = [] {
    for (const char* file : WineFontFiles) {
      if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
    }
    return QFontDatabase::families();
  }();
  return families;
}

// The vertical metrics GDI builds a cell from, in font units.
struct TWinMetrics {
  int UnitsPerEm = 0;
  int Ascent = 0;
  int Descent = 0;
};

TWinMetrics ReadWinMetrics(const QFont& font) {
  const QRawFont raw = QRawFont::fromFont(font);
  const QByteArray os2 = raw.fontTable("OS/2");
  const QByteArray head = raw.fontTable("head");
  if (os2.size() >= 78 && head.size() >= 20) {
    const TWinMetrics m{qFromBigEndian<quint16>(head.constData() + 18),
                        qFromBigEndian<quint16>(os2.constData() + 74),
                        qFromBigEndian<quint16>(os2.constData() + 76)};
    if (m.UnitsPerEm > 0 && m.Ascent + m.Descent > 0) return m;
  }
  // Not a TrueType/OpenType face: Qt's metrics at a large size stand in.
  QFont probe(font);
  probe.setPixelSize(1000);
  const QFontMetricsF qm(probe);
  return {1000, RoundHalfEven(qm.ascent()), std::max(1, RoundHalfEven(qm.descent()))};
}

int ClampedMagnitude(int height) {
  if (height < -MaxPixelHeight || height > MaxPixelHeight) return MaxPixelHeight;
  return std::max(1, std::abs(height));
}

// A Qt font together with the GDI cell it stands for.
struct TFontCell {
  QFont Font;
  int Ascent = 0;
  int Descent = 0;
};

TFontCell MakeCell(const QString& face, int height, bool bold, bool italic) {
  QFont font(face);
  font.setBold(bold);
  font.setItalic(italic);
  font.setKerning(false);  // GDI measures without kerning
  // Hinted advances are whole pixels, so widths of parts add up as in GDI.
  font.setHintingPreference(QFont::PreferFullHinting);
  const TWinMetrics m = ReadWinMetrics(font);
  const int winCell = m.Ascent + m.Descent;
  const int size = ClampedMagnitude(height == 0 ? DefaultHeight : height);
  TFontCell cell;
  if (height > 0) {
    // A cell height: the em is scaled so that the Windows ascent + descent fill it.
    font.setPixelSize(std::max(1, MulDiv(size, m.UnitsPerEm, winCell)));
    cell.Ascent = MulDiv(size, m.Ascent, winCell);
    cell.Descent = size - cell.Ascent;
  } else {
    font.setPixelSize(size);
    cell.Ascent = MulDiv(size, m.Ascent, m.UnitsPerEm);
    cell.Descent = MulDiv(size, m.Descent, m.UnitsPerEm);
  }
  cell.Font = font;
  return cell;
}

// Reading a face's tables costs far more than a look-up, and a program uses a
// few dozen faces and sizes. The cell stays valid until the next call.
const TFontCell& CellOf(const TFont& font) {
  using TKey = std::tuple<std::string, int, bool, bool>;
  constexpr std::size_t kKeptCells = 256;
  static TLruCache<TKey, TFontCell> cells(kKeptCells);
  const bool italic = font.Style & fsItalic;
  const TKey key{font.Name, font.Height(), font.Bold(), italic};
  if (const TFontCell* kept = cells.Find(key)) return *kept;
  return cells.Put(key, MakeCell(SubstituteFace(font.Name), font.Height(), font.Bold(), italic));
}

}  // namespace

int TFont::Size() const {
  return -MulDiv(height_, 72, ScreenPixelsPerInch);
}

void TFont::SetSize(int size) {
  height_ = -MulDiv(size, ScreenPixelsPerInch, 72);
}

QFont TFont::ToQFont() const {
  QFont font = CellOf(*this).Font;
  font.setUnderline(Style & fsUnderline);
  font.setStrikeOut(Style & fsStrikeOut);
  return font;
}

QFontMetrics TFont::Metrics() const {
  return QFontMetrics(ToQFont());
}

int TFont::Ascent() const {
  return CellOf(*this).Ascent;
}

int TFont::Descent() const {
  return CellOf(*this).Descent;
}

int TFont::CellHeight() const {
  return Ascent() + Descent();
}

QString SubstituteFace(const std::string& name) {
  const QString wanted = Cp1251ToQString(name).trimmed();
  const QStringList& families = InstalledFamilies();
  for (const TFaceSubstitute& s : Substitutes) {
    if (wanted.compare(QLatin1String(s.Windows), Qt::CaseInsensitive) != 0) continue;
    if (families.contains(QLatin1String(s.Installed), Qt::CaseInsensitive)) return s.Installed;
    return FallbackFace;
  }
  for (const QString& family : families) {
    if (family.compare(wanted, Qt::CaseInsensitive) == 0) return family;
  }
  return FallbackFace;
}

TFont MakeFont(const std::string& name, int height, TColor color, TFontStyles style) {
  TFont font;
  font.Name = name;
  font.SetHeight(height);
  font.Color = color;
  font.Style = style;
  return font;
}

void InitFonts() {
  InstalledFamilies();
}

int TextWidth(const TFont& font, const std::string& text) {
  // A page measures each of its words as it lays them out, and words repeat;
  // shaping is the cost, so widths are kept per face, height, weight, slant
  // and text (underline and strike-out take no room). The budget bounds the
  // memory a long document can make it take.
  using TKey = std::tuple<std::string, int, bool, bool, std::string>;
  constexpr std::size_t kKeptWidths = 1 << 16;
  static TLruCache<TKey, int> widths(kKeptWidths);
  const TKey key{font.Name, font.Height(), font.Bold(), bool(font.Style & fsItalic), text};
  if (const int* kept = widths.Find(key)) return *kept;
  return widths.Put(key, font.Metrics().horizontalAdvance(Cp1251ToQString(text)));
}

int TextHeight(const TFont& font, const std::string&) {
  return font.CellHeight();
}
