#pragma once
// Turns the course's UTF-8 sources into the Windows-1251 text files that the
// trainer reads. Every character must have a cp1251 form: nothing is replaced.

#include <string>

// The text in cp1251 with Windows line ends (CR LF); a leading byte-order mark
// is dropped. Throws Exception naming the line (from 1) of the first byte
// sequence that is not UTF-8 or of the first character with no cp1251 form.
std::string Utf8TextToCp1251(const std::string& utf8);

// Reads inPath, converts it and writes outPath. On failure nothing is written.
void ConvertFileToCp1251(const std::string& inPath, const std::string& outPath);
