#pragma once
// The class library's string list, as far as the system uses it: cp1251
// lines, each with an optional object pointer the list does not own.

#include <cstddef>
#include <string>
#include <vector>

class TStringList {
 public:
  // Appends and returns the new line's index.
  int Add(const std::string& s);
  int AddObject(const std::string& s, void* object);
  // Inserts before index; index == Count appends.
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();

  int Count() const { return int(items_.size()); }
  const std::string& Strings(int index) const;
  std::string& operator[](int index);
  const std::string& operator[](int index) const { return Strings(index); }
  void* Objects(int index) const;
  void SetObject(int index, void* object);

  // First line equal to s with A-Z folded, or -1.
  int IndexOf(const std::string& s) const;
  // The lines, each ended by CRLF.
  std::string Text() const;
  // Replaces the lines by those of text, split at CR, LF or CRLF.
  void SetText(const std::string& text);
  // The file's lines, cp1251 bytes as they stand; throws Exception when it
  // cannot be read or has more than maxBytes (see ReadTextFile).
  void LoadFromFile(const std::string& path, std::size_t maxBytes);
  // Stable sort of the lines with A-Z folded; objects move with their lines.
  void Sort();

 private:
  struct Item {
    std::string Text;
    void* Object = nullptr;
  };
  const Item& At(int index) const;
  Item& At(int index);

  std::vector<Item> items_;
};
