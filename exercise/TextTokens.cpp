#include "exercise/TextTokens.h"

#include <algorithm>
#include <utility>

#include "platform/StrUtils.h"

void NormalizeSpaces(std::string& s) {
  // One pass instead of deleting blank by blank: documents can be large.
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out.push_back(c);
  }
  std::replace(out.begin(), out.end(), '\t', ' ');
  s = std::move(out);
}

namespace {

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// NextToken over s[pos, end): returns the token and moves pos past it (and
// past the blank that ends it). Loops that read many tokens move a position
// instead of cutting the front off the string, which would cost the square
// of a long attribute text.
std::string TokenAt(const std::string& s, std::size_t& pos, std::size_t end) {
  // The token so far is exactly the text before the scan position once the
  // removed quotes and backslashes are gone, so it is built as we go.
  std::string token;
  bool quoted = false;
  for (; pos < end; ++pos) {
    const char c = s[pos];
    if (c == ' ' && !quoted) {
      ++pos;
      return token;
    }
    if (c != '"') {
      token.push_back(c);
    } else if (!token.empty() && token.back() == '\\') {
      token.back() = '"';
    } else {
      quoted = !quoted;
    }
  }
  if (quoted) throw Exception("Single quote");
  return token;
}

std::size_t SkipTrimmed(const std::string& s, std::size_t pos, std::size_t end) {
  while (pos < end && IsTrimmed(s[pos])) ++pos;
  return pos;
}

// s[from, to) without the trimmed characters at either end.
std::string TrimmedPart(const std::string& s, std::size_t from, std::size_t to) {
  from = SkipTrimmed(s, from, to);
  while (to > from && IsTrimmed(s[to - 1])) --to;
  return s.substr(from, to - from);
}

}  // namespace

std::string NextToken(std::string& s) {
  std::size_t pos = 0;
  std::string token = TokenAt(s, pos, s.size());
  s.erase(0, pos);
  return token;
}

std::string SplitAt(std::string& s, const std::string& delim, bool doTrim) {
  if (doTrim) s = Trim(s);
  const std::size_t at = delim.empty() ? std::string::npos : s.find(delim);
  if (at == std::string::npos) return std::exchange(s, std::string());
  std::string head = s.substr(0, at);
  s.erase(0, at + delim.size());
  if (!doTrim) return head;
  s = Trim(s);
  return Trim(head);
}

std::size_t FindCloseBracket(const std::string& s, std::size_t from) {
  int depth = 0;
  for (std::size_t i = from; i < s.size(); ++i) {
    if (s[i] == '<') {
      ++depth;
    } else if (s[i] == '>') {
      if (depth == 0) return i;
      --depth;
    }
  }
  return std::string::npos;
}

std::string ExtractToCloseBracket(std::string& s) {
  const std::size_t close = FindCloseBracket(s, 0);
  if (close == std::string::npos) return std::exchange(s, std::string());
  std::string body = s.substr(0, close);
  s.erase(0, close + 1);
  return body;
}

void ForEachAttribute(const std::string& attrs,
                      const std::function<void(const std::string& key, const std::string& value)>& action) {
  // As SplitAt(rest, "=", trim) and NextToken(rest) in turn would read it,
  // by position: the rest always ends where the trimmed text ends.
  std::size_t end = attrs.size();
  while (end > 0 && IsTrimmed(attrs[end - 1])) --end;
  std::size_t pos = SkipTrimmed(attrs, 0, end);
  while (pos < end) {
    const std::size_t equals = attrs.find('=', pos);
    if (equals == std::string::npos) {
      // A last key without "=" has an empty value.
      action(LowerCase(TrimmedPart(attrs, pos, end)), "");
      return;
    }
    const std::string key = TrimmedPart(attrs, pos, equals);
    if (key.empty()) return;
    pos = SkipTrimmed(attrs, equals + 1, end);
    const std::string value = TokenAt(attrs, pos, end);
    action(LowerCase(key), value);
    pos = SkipTrimmed(attrs, pos, end);
  }
}

void ForEachTag(const std::string& markup,
                const std::function<void(const std::string& name, const std::string& attrs)>& action) {
  // By position, as the parser reads its text: cutting the front off at
  // every tag would cost the square of a long list of tags.
  std::size_t pos = 0;
  while (pos < markup.size()) {
    const std::size_t open = markup.find('<', pos);
    if (open == std::string::npos) return;
    const std::size_t close = FindCloseBracket(markup, open + 1);
    std::string attrs = markup.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    pos = close == std::string::npos ? markup.size() : close + 1;
    if (attrs.empty()) continue;
    const std::string name = SplitAt(attrs, " ", true);
    action(name, attrs);
  }
}

int ParseIntAttribute(const std::string& value) {
  int result = 0;
  if (!TryStrToInt(value, result)) throw Exception(Format("Integer assumed, but \"%s\" found.", value));
  return result;
}
