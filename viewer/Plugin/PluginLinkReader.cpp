#include "viewer/Plugin/PluginLinkReader.h"

#include <cstdint>

TLinkCommand LinkCommandOf(const std::string& word) {
  static const struct {
    const char* Word;
    TLinkCommand Command;
  } kCommands[] = {
      {"goto", TLinkCommand::lcGoto}, {"open", TLinkCommand::lcOpen}, {"start", TLinkCommand::lcStart},
      {"web", TLinkCommand::lcWeb},   {"cmd", TLinkCommand::lcCmd},   {"unkonwn", TLinkCommand::lcUnknown},
  };
  for (const auto& entry : kCommands) {
    if (word == entry.Word) return entry.Command;
  }
  return TLinkCommand::lcNone;
}

std::string TPluginLinkInfo::GetText() const {
  return "unknown\rinvalid\rabstract";
}

std::string TPluginLinkInfo::GetArg(int i) const {
  if (i < 0 || i >= int(Lines.size())) return "";
  return Lines[std::size_t(i)];
}

int TPluginLinkInfo::GetArgInt(int i) const {
  const std::string line = GetArg(i);
  std::size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos) return 0;
  const bool negative = line[at] == '-';
  if (line[at] == '-' || line[at] == '+') ++at;
  if (at == line.size()) return 0;
  std::int64_t value = 0;
  for (; at < line.size(); ++at) {
    if (line[at] < '0' || line[at] > '9') return 0;
    value = value * 10 + (line[at] - '0');
    if (value > std::int64_t(INT32_MAX) + 1) return 0;
  }
  if (negative) value = -value;
  return value > INT32_MAX ? 0 : int(value);
}

bool TPluginLinkReader::Parse(const std::string& text) {
  Text = text;
  Command = TLinkCommand::lcNone;
  Lines.clear();
  if (text.empty()) return true;
  // A final line feed ends the last line instead of opening an empty one.
  const std::string body = text.back() == '\n' ? text.substr(0, text.size() - 1) : text;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = body.find('\n', start);
    Lines.push_back(body.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (Lines.size() >= 2) Command = LinkCommandOf(Lines[0]);
  return true;
}
