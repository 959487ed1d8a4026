#include "exercise/ScaleSettings.h"

#include <charconv>
#include <cmath>

#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

std::vector<TScaleRec> ScaleTable;

namespace {

// The table has a few rows of a dozen bytes; 64 KB is thousands of them.
constexpr std::size_t kMaxSettingsBytes = 64 << 10;
// A line quoted in a message: enough to find it in the file.
constexpr std::size_t kQuotedLineLength = 60;

std::string Quoted(const std::string& line) {
  return line.size() <= kQuotedLineLength ? line : line.substr(0, kQuotedLineLength) + "...";
}

// A number with "." as its decimal separator, never the locale's.
bool TryParseThreshold(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  return error == std::errc() && stop == end && std::isfinite(value);
}

bool TryParseRow(const std::string& line, TScaleRec& row) {
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return false;
  return TryParseThreshold(Trim(line.substr(0, equals)), row.Threshold) &&
         TryStrToInt(Trim(line.substr(equals + 1)), row.Step);
}

}  // namespace

int LookupScale(double ratio) {
  for (const TScaleRec& row : ScaleTable)
    if (ratio < row.Threshold) return row.Step;
  return 0;
}

void LoadScaleSettings(const std::string& path) {
  ScaleTable.clear();
  if (!FileExists(path)) return;
  std::vector<std::string> lines;
  try {
    lines = SplitLines(ReadTextFile(path, kMaxSettingsBytes));
  } catch (const Exception& e) {
    // The pages are built at their own font size, as without the file.
    Application->ShowException(e.Message());
    return;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string line = Trim(lines[i]);
    if (line.empty()) continue;
    TScaleRec row;
    if (!TryParseRow(line, row)) {
      Application->ShowException(
          Format("%s, line %d: \"%s\" is not a row of the form 0.6=2. The rows from there on are ignored.",
                 path, static_cast<int>(i + 1), Quoted(line)));
      return;
    }
    ScaleTable.push_back(row);
  }
}
