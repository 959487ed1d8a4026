#include "platform/Cp1251.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// Unicode of the bytes 0x80-0xFF. 0x98 has no character in the code page; it
// maps to U+0098 so that every byte survives a round trip through Unicode.
constexpr std::array<char16_t, 128> kHighHalf = {
    u'\u0402', u'\u0403', u'\u201A', u'\u0453', u'\u201E', u'\u2026', u'\u2020', u'\u2021',  // 80
    u'\u20AC', u'\u2030', u'\u0409', u'\u2039', u'\u040A', u'\u040C', u'\u040B', u'\u040F',  // 88
    u'\u0452', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',  // 90
    u'\u0098', u'\u2122', u'\u0459', u'\u203A', u'\u045A', u'\u045C', u'\u045B', u'\u045F',  // 98
    u'\u00A0', u'\u040E', u'\u045E', u'\u0408', u'\u00A4', u'\u0490', u'\u00A6', u'\u00A7',  // A0
    u'\u0401', u'\u00A9', u'\u0404', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u0407',  // A8
    u'\u00B0', u'\u00B1', u'\u0406', u'\u0456', u'\u0491', u'\u00B5', u'\u00B6', u'\u00B7',  // B0
    u'\u0451', u'\u2116', u'\u0454', u'\u00BB', u'\u0458', u'\u0405', u'\u0455', u'\u0457',  // B8
    u'\u0410', u'\u0411', u'\u0412', u'\u0413', u'\u0414', u'\u0415', u'\u0416', u'\u0417',  // C0
    u'\u0418', u'\u0419', u'\u041A', u'\u041B', u'\u041C', u'\u041D', u'\u041E', u'\u041F',  // C8
    u'\u0420', u'\u0421', u'\u0422', u'\u0423', u'\u0424', u'\u0425', u'\u0426', u'\u0427',  // D0
    u'\u0428', u'\u0429', u'\u042A', u'\u042B', u'\u042C', u'\u042D', u'\u042E', u'\u042F',  // D8
    u'\u0430', u'\u0431', u'\u0432', u'\u0433', u'\u0434', u'\u0435', u'\u0436', u'\u0437',  // E0
    u'\u0438', u'\u0439', u'\u043A', u'\u043B', u'\u043C', u'\u043D', u'\u043E', u'\u043F',  // E8
    u'\u0440', u'\u0441', u'\u0442', u'\u0443', u'\u0444', u'\u0445', u'\u0446', u'\u0447',  // F0
    u'\u0448', u'\u0449', u'\u044A', u'\u044B', u'\u044C', u'\u044D', u'\u044E', u'\u044F',  // F8
};

char32_t LowerUnicode(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;  // Ѐ..Џ -> ѐ..џ
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // А..Я -> а..я
  if (c == 0x0490) return 0x0491;                   // Ґ
  return c;
}

char32_t UpperUnicode(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0x0450 && c <= 0x045F) return c - 0x50;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
  if (c == 0x0491) return 0x0490;
  return c;
}

using ByteTable = std::array<char, 256>;

ByteTable MakeCaseTable(char32_t (*fold)(char32_t)) {
  ByteTable table{};
  for (int b = 0; b < 256; ++b) table[b] = UnicodeToCp1251Char(char16_t(fold(Cp1251CharToUnicode(char(b)))));
  return table;
}

const ByteTable& LowerTable() {
  static const ByteTable table = MakeCaseTable(LowerUnicode);
  return table;
}

const ByteTable& UpperTable() {
  static const ByteTable table = MakeCaseTable(UpperUnicode);
  return table;
}

std::string MapBytes(const std::string& s, const ByteTable& table) {
  std::string out = s;
  for (char& c : out) c = table[static_cast<unsigned char>(c)];
  return out;
}

// The sort weight of a lower-case byte: Unicode order, with ё right after е as
// a Russian reader expects.
int CollationWeight(char c) {
  const char16_t u = Cp1251CharToUnicode(c);
  if (u == 0x0451) return 0x0435 * 2 + 1;
  return u * 2;
}

// The lead bytes of multi-byte UTF-8 sequences: how many bytes follow, and the
// smallest value such a sequence may carry (smaller ones are overlong).
struct Utf8Lead {
  unsigned char Mask;
  unsigned char Value;
  int Extra;
  char32_t Minimum;
};
constexpr Utf8Lead kUtf8Leads[] = {{0xE0, 0xC0, 1, 0x80}, {0xF0, 0xE0, 2, 0x800}, {0xF8, 0xF0, 3, 0x10000}};

// Decodes one UTF-8 sequence at s[i], advancing i; malformed input yields U+FFFD.
char32_t DecodeUtf8(const std::string& s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  const auto kind = std::find_if(std::begin(kUtf8Leads), std::end(kUtf8Leads),
                                 [&](const Utf8Lead& l) { return (lead & l.Mask) == l.Value; });
  if (kind == std::end(kUtf8Leads)) return 0xFFFD;
  char32_t c = lead & ~kind->Mask & 0xFF;
  for (int k = 0; k < kind->Extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return c < kind->Minimum || c > 0x10FFFF ? 0xFFFD : c;
}

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

}  // namespace

char16_t Cp1251CharToUnicode(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 0x80 ? char16_t(b) : kHighHalf[b - 0x80];
}

char UnicodeToCp1251Char(char16_t c) {
  if (c < 0x80) return char(c);
  if (c >= 0x0410 && c <= 0x044F) return char(0xC0 + (c - 0x0410));
  const auto it = std::find(kHighHalf.begin(), kHighHalf.end(), c);
  return it == kHighHalf.end() ? '?' : char(0x80 + (it - kHighHalf.begin()));
}

QString Cp1251ToQString(const std::string& s) {
  QString out;
  out.reserve(qsizetype(s.size()));
  for (char c : s) out.append(QChar(Cp1251CharToUnicode(c)));
  return out;
}

std::string QStringToCp1251(const QString& s) {
  std::string out;
  out.reserve(std::size_t(s.size()));
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s.at(i);
    // A surrogate pair is one character outside the code page: one '?'.
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) ++i;
    out += c.isSurrogate() ? '?' : UnicodeToCp1251Char(c.unicode());
  }
  return out;
}

std::string Utf8ToCp1251(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = DecodeUtf8(utf8, i);
    out += c > 0xFFFF ? '?' : UnicodeToCp1251Char(char16_t(c));
  }
  return out;
}

std::string Cp1251ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (char c : s) AppendUtf8(out, Cp1251CharToUnicode(c));
  return out;
}

std::string AnsiLowerCase(const std::string& s) {
  return MapBytes(s, LowerTable());
}

std::string AnsiUpperCase(const std::string& s) {
  return MapBytes(s, UpperTable());
}

int CompareTextRu(const std::string& a, const std::string& b) {
  const ByteTable& lower = LowerTable();
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int wa = CollationWeight(lower[static_cast<unsigned char>(a[i])]);
    const int wb = CollationWeight(lower[static_cast<unsigned char>(b[i])]);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameTextRu(const std::string& a, const std::string& b) {
  return CompareTextRu(a, b) == 0;
}
