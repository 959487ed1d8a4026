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

std::string NextToken(std::string& s) {
  // The token so far is exactly the text before the scan position once the
  // removed quotes and backslashes are gone, so it is built as we go.
  std::string token;
  bool quoted = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ' ' && !quoted) {
      s.erase(0, i + 1);
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
  s.clear();
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
  std::string rest = attrs;
  for (std::string key = SplitAt(rest, "=", true); !key.empty(); key = SplitAt(rest, "=", true)) {
    const std::string value = NextToken(rest);
    action(LowerCase(key), value);
  }
}

void ForEachTag(const std::string& markup,
                const std::function<void(const std::string& name, const std::string& attrs)>& action) {
  std::string text = markup;
  while (!text.empty()) {
    SplitAt(text, "<", false);
    std::string attrs = ExtractToCloseBracket(text);
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
