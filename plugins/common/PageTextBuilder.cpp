#include "plugins/common/PageTextBuilder.h"

#include <algorithm>
#include <utility>

#include "platform/Cp1251.h"

namespace {

TPluginRect Union(const std::vector<TPluginRect>& rects) {
  if (rects.empty()) return {};
  TPluginRect box = rects.front();
  for (const TPluginRect& r : rects) {
    box.Left = std::min(box.Left, r.Left);
    box.Top = std::min(box.Top, r.Top);
    box.Right = std::max(box.Right, r.Right);
    box.Bottom = std::max(box.Bottom, r.Bottom);
  }
  return box;
}

}  // namespace

void TPageTextBuilder::Append(char byte, const TPluginRect& rect) {
  text_.Text.push_back(byte);
  text_.Rects.push_back(rect);
}

void TPageTextBuilder::AddWord(const QString& word, const std::vector<TPluginRect>& rects) {
  if (word.isEmpty()) return;
  const TPluginRect box = Union(rects);
  if (lineOpen_ && spacePending_) {
    Append(' ', {lastWord_.Right, std::min(lastWord_.Top, box.Top), box.Left,
                 std::max(lastWord_.Bottom, box.Bottom)});
  } else if (!lineOpen_ && !text_.Text.empty()) {
    Append('\n', {});
  }
  for (qsizetype i = 0; i < word.size(); ++i)
    Append(UnicodeToCp1251Char(word[i].unicode()),
           std::size_t(i) < rects.size() ? rects[std::size_t(i)] : TPluginRect{});
  lineOpen_ = true;
  spacePending_ = false;
  lastWord_ = box;
}

void TPageTextBuilder::EndLine() {
  lineOpen_ = false;
  spacePending_ = false;
}

TPageText TPageTextBuilder::Take() {
  TPageText text = std::move(text_);
  text_ = {};
  EndLine();
  return text;
}

std::vector<TPluginRect> TPageTextBuilder::SplitEvenly(const TPluginRect& box, int count) {
  std::vector<TPluginRect> cells;
  const double width = (box.Right - box.Left) / std::max(count, 1);
  for (int i = 0; i < count; ++i)
    cells.push_back({box.Left + i * width, box.Top, box.Left + (i + 1) * width, box.Bottom});
  return cells;
}
