#pragma once
// Windows-1251 text. The system keeps its strings as single-byte cp1251
// (std::string, a length is a byte count); they become QString only to be
// measured, drawn, compared ignoring case, or handed to Qt.

#include <string>

#include <QString>

QString Cp1251ToQString(const std::string& s);
// Characters outside cp1251 become '?'.
std::string QStringToCp1251(const QString& s);
std::string Utf8ToCp1251(const std::string& utf8);
std::string Cp1251ToUtf8(const std::string& s);
// One cp1251 byte for one Unicode character; '?' when it has none.
char UnicodeToCp1251Char(char16_t c);
char16_t Cp1251CharToUnicode(char c);

// Russian literals in our UTF-8 sources: "Закрыть"_cp is the cp1251 string.
inline std::string operator""_cp(const char* utf8, std::size_t n) {
  return Utf8ToCp1251(std::string(utf8, n));
}

// Case-insensitive comparison as the Russian locale does it (Ё/ё, А-Я/а-я,
// Latin letters): <0, 0 or >0.
int CompareTextRu(const std::string& a, const std::string& b);
bool SameTextRu(const std::string& a, const std::string& b);
// Lower and upper case of cp1251 text over the whole alphabet (Ё/ё included).
std::string AnsiLowerCase(const std::string& s);
std::string AnsiUpperCase(const std::string& s);
