#pragma once
// The lexical layer of exercise markup: cutting text into chunks, tag bodies,
// attribute keys and values. Each function shortens the string it is given.

#include <functional>
#include <string>

// Collapses runs of blanks to one blank, then turns each tab into a blank.
void NormalizeSpaces(std::string& s);

// Removes and returns the next attribute value: a blank ends it outside
// double quotes, quotes group, \" stands for a quote. Throws "Single quote"
// for a quote that is never closed.
std::string NextToken(std::string& s);

// Returns the text before the first delim and removes it and delim from s;
// without delim, all of s. With doTrim, s, the result and the rest are trimmed.
std::string SplitAt(std::string& s, const std::string& delim, bool doTrim);

// Returns the body of a tag whose "<" is already consumed, up to the ">" that
// balances it, and removes body and ">" from s; without one, all of s.
std::string ExtractToCloseBracket(std::string& s);
// The index of the ">" that closes a tag body starting at s[from], or npos;
// "<" ">" pairs inside the body are skipped.
std::size_t FindCloseBracket(const std::string& s, std::size_t from);

inline int IntMin(int a, int b) {
  return a < b ? a : b;
}
inline int IntMax(int a, int b) {
  return a > b ? a : b;
}

// Reads the key=value pairs of a tag's attribute text left to right until a
// key is empty, as every tag does; keys come lower-cased (A-Z only).
void ForEachAttribute(const std::string& attrs,
                      const std::function<void(const std::string& key, const std::string& value)>& action);

// Reads the tags of markup left to right, skipping the text between them and
// empty tags: name is the tag's first word, attrs the rest of its body.
void ForEachTag(const std::string& markup,
                const std::function<void(const std::string& name, const std::string& attrs)>& action);

// An attribute value read as an integer; throws "Integer assumed, but \"%s\"
// found." with the value, as every exercise tag reports it.
int ParseIntAttribute(const std::string& value);
