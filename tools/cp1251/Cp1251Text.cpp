#include "tools/cp1251/Cp1251Text.h"

#include <QList>
#include <QStringDecoder>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

std::string Describe(char32_t c) {
  const QString hex = QString::number(quint32(c), 16).toUpper().rightJustified(4, '0');
  return "U+" + hex.toStdString() + " \"" + QString::fromUcs4(&c, 1).toStdString() + "\"";
}

std::string LineToCp1251(const std::string& line, int lineNo) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(QByteArrayView(line.data(), qsizetype(line.size())));
  if (decoder.hasError()) throw Exception(Format("Line %d is not valid UTF-8 text.", lineNo));
  std::string out;
  out.reserve(line.size());
  for (const char32_t c : text.toUcs4()) {
    const char byte = c <= 0xFFFF ? UnicodeToCp1251Char(char16_t(c)) : '?';
    // The table answers '?' for characters it lacks, so only a real '?' may pass.
    if (byte == '?' && c != U'?')
      throw Exception(Format("Line %d: the character %s has no Windows-1251 form.", lineNo, Describe(c)));
    out += byte;
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Cannot open \"" + path + "\".");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string Utf8TextToCp1251(const std::string& utf8) {
  static const std::string bom = "\xEF\xBB\xBF";
  const std::size_t start = utf8.compare(0, bom.size(), bom) == 0 ? bom.size() : 0;
  std::string out;
  int lineNo = 1;
  for (std::size_t pos = start; pos < utf8.size(); ++lineNo) {
    const std::size_t end = utf8.find('\n', pos);
    const bool ended = end != std::string::npos;
    std::string line = utf8.substr(pos, ended ? end - pos : std::string::npos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += LineToCp1251(line, lineNo);
    if (ended) out += "\r\n";
    pos = ended ? end + 1 : utf8.size();
  }
  return out;
}

void ConvertFileToCp1251(const std::string& inPath, const std::string& outPath) {
  std::string text;
  try {
    text = Utf8TextToCp1251(ReadFile(inPath));
  } catch (const Exception& e) {
    throw Exception(inPath + ": " + e.what());
  }
  // Written beside the target and renamed, so a failed write leaves no half file.
  const std::string temp = outPath + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    if (!out.flush()) throw Exception("Cannot write \"" + outPath + "\".");
  }
  std::error_code error;
  std::filesystem::rename(temp, outPath, error);
  if (error) {
    std::filesystem::remove(temp, error);
    throw Exception("Cannot write \"" + outPath + "\".");
  }
}
