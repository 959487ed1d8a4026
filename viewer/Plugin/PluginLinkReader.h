#pragma once
// Link texts: the command a link area runs and its arguments, one per line.
//   goto\n<page>      open\n<file>\n<page>      start\n<file>      web\n<target>

#include <cstdint>
#include <string>
#include <vector>

enum class TLinkCommand : std::uint8_t {
  lcNone = 0,
  lcGoto = 1,
  lcOpen = 2,
  lcStart = 3,
  lcWeb = 4,
  lcCmd = 5,
  lcUnknown = 6,
};

// The command of a command word, compared exactly; lcNone for any other word.
TLinkCommand LinkCommandOf(const std::string& word);

// A parsed link text; line 0 is the command word, the lines after it the arguments.
class TPluginLinkInfo {
 public:
  virtual ~TPluginLinkInfo() = default;
  virtual std::string GetText() const;

  // Line i, or "" when there is no such line.
  std::string GetArg(int i) const;
  // Line i as a whole as a signed decimal 32-bit integer (leading blanks
  // allowed); 0 when there is no such line or it is no such number.
  int GetArgInt(int i) const;

  TLinkCommand Command = TLinkCommand::lcNone;
  std::vector<std::string> Lines;
  // The file names of the arguments are the file system's bytes, as a plug-in
  // of version 3 gives them; else cp1251, where "\" separates folders too.
  bool NativeNames = false;
};

class TPluginLinkReader : public TPluginLinkInfo {
 public:
  // Keeps text and splits it at line feeds (a final one opens no empty line);
  // a command needs at least one argument line. Always true.
  bool Parse(const std::string& text);
  // The raw text last parsed.
  std::string GetText() const override { return Text; }

  std::string Text;
};
