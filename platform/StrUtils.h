#pragma once
// The string and number helpers of the class library that the system relies on,
// on single-byte strings. Positions are 1-based and clamp like the originals.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The general error class: a message a user can read (cp1251 bytes).
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_ = what();
};

namespace detail {
std::string FormatImpl(const char* fmt, const std::vector<std::string>& args);
inline std::string FormatArg(const std::string& s) {
  return s;
}
inline std::string FormatArg(const char* s) {
  return s;
}
inline std::string FormatArg(char c) {
  return std::string(1, c);
}
template <typename T>
std::string FormatArg(T v) {
  return std::to_string(v);
}
}  // namespace detail

// printf-like formatting for %s and %d (and %%) only; every argument is
// turned into text first, so a wrong placeholder cannot read a bad pointer.
// Another placeholder, or one without an argument, throws Exception.
template <typename... Args>
std::string Format(const char* fmt, const Args&... args) {
  return detail::FormatImpl(fmt, {detail::FormatArg(args)...});
}

// Nearest integer, halves to even (std::nearbyint in the default mode);
// saturates at the 32-bit range, NaN gives 0.
int RoundHalfEven(double v);
// Windows' MulDiv: a * b / c rounded half away from zero; -1 when c is 0 or
// the result does not fit in 32 bits.
int MulDiv(int a, int b, int c);

// Integer parsing of the class library: an optional sign, then decimal digits
// or "$" (also "0x") hex. Throws Exception
// "'%s' is not a valid integer value" on anything else. Values beyond 32 bits
// saturate to INT32_MIN / INT32_MAX instead of wrapping.
int StrToInt(const std::string& s);
// The same, but returns def on bad text.
int StrToIntDef(const std::string& s, int def);
// Like StrToInt but reports success instead of throwing.
bool TryStrToInt(const std::string& s, int& value);
std::string IntToStr(std::int64_t v);

// 1-based Copy/Delete/Insert: Index < 1 counts as 1, Count clamps to the end.
std::string Copy(const std::string& s, int index, int count);
void Delete(std::string& s, int index, int count);
void Insert(const std::string& what, std::string& s, int index);
// 1-based position of sub in s, 0 when absent.
int Pos(const std::string& sub, const std::string& s);

// Trim of characters <= #32 (as unsigned bytes) at both / one end.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
// Lower/upper case of A-Z only; every other byte stays.
std::string LowerCase(const std::string& s);
std::string UpperCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);  // A-Z folded
std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to);
// The lines of a text ending in CR, LF or CRLF; a line end at the very end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);
