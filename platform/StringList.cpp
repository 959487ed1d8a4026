#include "platform/StringList.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

namespace {

[[noreturn]] void IndexError(int index) {
  throw Exception(Format("List index out of bounds (%d)", index));
}

// A-Z folded order; bytes compare unsigned, so cp1251 letters sort after Latin ones.
bool FoldedLess(const std::string& a, const std::string& b) {
  auto fold = [](char c) { return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c); };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return fold(x) < fold(y); });
}

}  // namespace

int TStringList::Add(const std::string& s) {
  return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, void* object) {
  items_.push_back({s, object});
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, Item{s});
}

void TStringList::Delete(int index) {
  At(index);
  items_.erase(items_.begin() + index);
}

void TStringList::Clear() {
  items_.clear();
}

const TStringList::Item& TStringList::At(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[std::size_t(index)];
}

TStringList::Item& TStringList::At(int index) {
  return const_cast<Item&>(static_cast<const TStringList*>(this)->At(index));
}

const std::string& TStringList::Strings(int index) const {
  return At(index).Text;
}

std::string& TStringList::operator[](int index) {
  return At(index).Text;
}

void* TStringList::Objects(int index) const {
  return At(index).Object;
}

void TStringList::SetObject(int index, void* object) {
  At(index).Object = object;
}

int TStringList::IndexOf(const std::string& s) const {
  auto it =
      std::find_if(items_.begin(), items_.end(), [&](const Item& item) { return SameText(item.Text, s); });
  return it == items_.end() ? -1 : int(it - items_.begin());
}

std::string TStringList::Text() const {
  std::string out;
  for (const Item& item : items_) out.append(item.Text).append("\r\n");
  return out;
}

void TStringList::SetText(const std::string& text) {
  items_.clear();
  for (std::string& line : SplitLines(text)) items_.push_back({std::move(line)});
}

void TStringList::LoadFromFile(const std::string& path, std::size_t maxBytes) {
  SetText(ReadTextFile(path, maxBytes));
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Item& a, const Item& b) { return FoldedLess(a.Text, b.Text); });
}
