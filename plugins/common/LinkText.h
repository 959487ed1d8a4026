#pragma once
// Link texts in the viewer's format: a command word and its argument lines,
// separated by line feeds, cp1251. Arguments never hold control characters,
// so a target cannot smuggle in lines of its own.

#include <QString>
#include <optional>
#include <string>

// "goto" and a page of the same document.
std::string GotoLinkText(int page);
// "web" and an address, non-ASCII characters percent-encoded; nullopt for an
// address that is empty or invalid, which gives no link area at all: an area
// the pointer shows as a link must do something when clicked.
std::optional<std::string> WebLinkText(const QString& url);
// Another file, named absolutely, relatively to the document's folder or as
// a file: URL. With a page (> 0): "open", its absolute path and the page;
// else "start" and its path relative to the document's folder.
std::string FileLinkText(const QString& documentPath, const QString& file, int page);
// A web address or a file, told apart by the scheme (none or "file" is a
// file); nullopt for an empty or invalid one.
std::optional<std::string> UriLinkText(const QString& documentPath, const QString& uri);
