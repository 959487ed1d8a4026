#pragma once
// Link texts in the viewer's format: a command word and its argument lines,
// separated by line feeds. Arguments never hold control characters, so a
// target cannot smuggle in lines of its own.

#include <QString>
#include <optional>
#include <string>

// One link text as each export spells it: Ansi for ReadActiveRects (cp1251,
// a file name it cannot spell goes relative to the document where that helps),
// Native for ReadActiveRectsUtf8 (UTF-8, file names as the file system's bytes).
struct TLinkText {
  std::string Ansi;
  std::string Native;
  bool operator==(const TLinkText&) const = default;
};

// "goto" and a page of the same document.
TLinkText GotoLinkText(int page);
// "web" and an address, non-ASCII characters percent-encoded; nullopt for an
// address that is empty or invalid, which gives no link area at all: an area
// the pointer shows as a link must do something when clicked.
std::optional<TLinkText> WebLinkText(const QString& url);
// Another file, named absolutely or relatively to the document's folder;
// documentPath and file are the file system's bytes. With a page (> 0):
// "open", its absolute path and the page; else "start" and its path relative
// to the document's folder. nullopt for an empty name or one holding control
// characters, which no line of a link text can carry.
std::optional<TLinkText> FileLinkText(const std::string& documentPath, const std::string& file, int page);
// A web address or a file, told apart by the scheme: none, "file" or a drive
// letter is a file, and a file: URL's path is percent-decoded into the bytes
// it names. nullopt for an empty or invalid one.
std::optional<TLinkText> UriLinkText(const std::string& documentPath, const std::string& uri);

// Byte paths, taken apart at "/" only.
// path made absolute against the current folder, "." and empty parts dropped
// and ".." stepping up.
std::string CleanPath(const std::string& path);
// path (clean, absolute) as seen from folder (clean, absolute).
std::string RelativePath(const std::string& folder, const std::string& path);
