#pragma once
// Builds a page's cp1251 text with one rectangle per byte from words in
// reading order: spaces between the words of a line span the gap between
// them, so a selection across words stays one run; lines end in a line feed.

#include <QString>
#include <vector>

#include "plugins/common/BackendDocument.h"

class TPageTextBuilder {
 public:
  // rects holds one rectangle per UTF-16 unit of word (millimetres); missing
  // ones are taken as empty. Characters without a cp1251 byte become '?'.
  void AddWord(const QString& word, const std::vector<TPluginRect>& rects);
  // A space between the last word and the next one of the same line.
  void AddSpace() { spacePending_ = true; }
  void EndLine();
  TPageText Take();

  // count equal cells side by side in box: characters of a word whose
  // format gives the word's box only.
  static std::vector<TPluginRect> SplitEvenly(const TPluginRect& box, int count);

 private:
  void Append(char byte, const TPluginRect& rect);

  TPageText text_;
  bool lineOpen_ = false;
  bool spacePending_ = false;
  TPluginRect lastWord_{};
};
