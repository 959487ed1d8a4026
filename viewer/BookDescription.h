#pragma once
// The book description a plug-in may return: an XML text of book folders,
// books, page folders and page ranges, read into a tree of TTocNode objects.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One element of the description. Strings are cp1251, as everywhere in the viewer.
class TTocNode {
 public:
  TTocNode() = default;
  virtual ~TTocNode() = default;
  TTocNode(const TTocNode&) = delete;
  TTocNode& operator=(const TTocNode&) = delete;

  std::string Tag;                                  // the element name
  std::string Name;                                 // NAME, empty when absent
  TTocNode* Parent = nullptr;                       // not owned; nullptr for the root
  std::vector<std::unique_ptr<TTocNode>> Children;  // document order
};

// "BOOKFOLDER": its VERSION must be present and at most 1.
class TBookFolder : public TTocNode {
 public:
  int Version = 0;
};

// "BOOK".
class TBook : public TTocNode {
 public:
  std::string Author;
};

// "PAGEFOLDER".
class TPageFolder : public TTocNode {};

// "PAGES": the range Beg..End. A range without an end of its own runs up to the
// next range read (to its first page when that one is Starting); a range is
// read after the ranges nested in it.
class TPages : public TTocNode {
 public:
  int Beg = 0;
  int End = 0;
  int Starting = 0;
};

// Parses a description and builds its tree. Never throws: Loaded() tells
// whether the text was a description; Error() says why it was not.
class TTOC {
 public:
  // A NUL-terminated cp1251 text; nullptr reads as an empty text.
  explicit TTOC(const char* text);
  // The same with an explicit length, for texts that may lack their NUL.
  explicit TTOC(std::string_view text);

  bool Loaded() const { return Root_ != nullptr; }
  const TTocNode* Root() const { return Root_.get(); }
  const std::string& Error() const { return Error_; }

 private:
  std::unique_ptr<TTocNode> Root_;
  std::string Error_;
};

// Integer attributes: blanks, an optional sign, then decimal digits or hex
// digits after "$", "x", "X", "0x" or "0X". Reading stops at the first character
// that does not fit and keeps what was read, without its sign (0 when nothing);
// values beyond 32 bits saturate.
int TocStrToInt(std::string_view text);
