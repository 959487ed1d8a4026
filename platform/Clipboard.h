#pragma once
// Plain text on the system clipboard. Our strings are cp1251; the clipboard
// holds Unicode, so the conversion happens here and nowhere else.

#include <string>

// Replaces the clipboard's content with text (cp1251).
void SetClipboardText(const std::string& text);
// The clipboard's text as cp1251 ('?' for characters cp1251 lacks); empty when it holds none.
std::string ClipboardText();
// The viewer's copy: the Russian layout is active while the text goes to the
// clipboard, and the layout that was active before comes back afterwards.
void CopyTextInRussianLayout(const std::string& text);
