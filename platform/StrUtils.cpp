#include "platform/StrUtils.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}
char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int DecDigit(char c) {
  return (c >= '0' && c <= '9') ? c - '0' : -1;
}

std::int64_t Saturate(std::int64_t v) {
  return std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX);
}

// Parses the whole text or nothing: a sign, then decimal digits or "$"/"0x" hex.
bool ParseInt(const std::string& s, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == s.size()) return false;
  // The magnitude stops growing just past the 32-bit range, so long digit runs cannot overflow.
  constexpr std::int64_t kCap = std::int64_t(1) << 32;
  std::int64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    int digit = base == 16 ? HexDigit(s[i]) : DecDigit(s[i]);
    if (digit < 0) return false;
    magnitude = std::min(magnitude * base + digit, kCap);
  }
  value = int(Saturate(negative ? -magnitude : magnitude));
  return true;
}

}  // namespace

namespace detail {

std::string FormatImpl(const char* fmt, const std::vector<std::string>& args) {
  const std::string pattern = fmt ? fmt : "";
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    char spec = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (spec == '%') {
      out += '%';
    } else if ((spec == 's' || spec == 'd') && next < args.size()) {
      out += args[next++];
    } else {
      throw Exception("Format '" + pattern + "' invalid or incompatible with argument");
    }
    ++i;
  }
  return out;
}

}  // namespace detail

int RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  // The program never leaves the default rounding mode, where nearbyint rounds halves to even.
  const double r = std::nearbyint(v);
  if (r >= double(INT32_MAX)) return INT32_MAX;
  if (r <= double(INT32_MIN)) return INT32_MIN;
  return int(r);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t product = std::int64_t(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const std::uint64_t num = product < 0 ? std::uint64_t(-product) : std::uint64_t(product);
  const std::uint64_t den = c < 0 ? std::uint64_t(-std::int64_t(c)) : std::uint64_t(c);
  std::uint64_t q = num / den;
  if (2 * (num % den) >= den) ++q;
  // Windows reports a result beyond 32 bits as -1.
  if (q > std::uint64_t(INT32_MAX) + (negative ? 1 : 0)) return -1;
  return int(negative ? -std::int64_t(q) : std::int64_t(q));
}

int StrToInt(const std::string& s) {
  int value = 0;
  if (!ParseInt(s, value)) throw Exception(Format("'%s' is not a valid integer value", s));
  return value;
}

int StrToIntDef(const std::string& s, int def) {
  int value = 0;
  return ParseInt(s, value) ? value : def;
}

bool TryStrToInt(const std::string& s, int& value) {
  int parsed = 0;
  if (!ParseInt(s, parsed)) return false;
  value = parsed;
  return true;
}

std::string IntToStr(std::int64_t v) {
  return std::to_string(v);
}

std::string Copy(const std::string& s, int index, int count) {
  const std::size_t start = std::size_t(std::max(index, 1) - 1);
  if (count <= 0 || start >= s.size()) return {};
  return s.substr(start, std::size_t(count));
}

void Delete(std::string& s, int index, int count) {
  const std::size_t start = std::size_t(std::max(index, 1) - 1);
  if (count <= 0 || start >= s.size()) return;
  s.erase(start, std::size_t(count));
}

void Insert(const std::string& what, std::string& s, int index) {
  const std::size_t at = std::min(std::size_t(std::max(index, 1) - 1), s.size());
  s.insert(at, what);
}

int Pos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  const std::size_t at = s.find(sub);
  return at == std::string::npos ? 0 : int(at) + 1;
}

std::string TrimLeft(const std::string& s) {
  auto first = std::find_if_not(s.begin(), s.end(), IsBlank);
  return std::string(first, s.end());
}

std::string TrimRight(const std::string& s) {
  auto last = std::find_if_not(s.rbegin(), s.rend(), IsBlank);
  return std::string(s.begin(), last.base());
}

std::string Trim(const std::string& s) {
  return TrimRight(TrimLeft(s));
}

std::string LowerCase(const std::string& s) {
  std::string out = s;
  std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
  return out;
}

std::string UpperCase(const std::string& s) {
  std::string out = s;
  std::transform(out.begin(), out.end(), out.begin(), UpperAscii);
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
  if (from.empty()) return s;
  std::string out;
  std::size_t start = 0;
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, start)) {
    out.append(s, start, at - start).append(to);
    start = at + from.size();
  }
  return out.append(s, start, std::string::npos);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}
