#pragma once
// The viewer's book description (BOOKFOLDER, BOOK, PAGEFOLDER, PAGES) of a
// document's outline, as cp1251 XML.

#include <string>

#include "plugins/common/BackendDocument.h"

// Items with children become page folders that start with their own page;
// items leading nowhere keep only their children. The last range runs to the
// document's end; a document without an outline is one range of all pages.
std::string BookDescriptionXml(const TBookOutline& outline);
