#pragma once
// The program's own keyboard layout state. Linux cannot switch the layout of
// one window, so "activate the Russian layout" is remembered here, and while
// it holds, the controls turn Latin letter keys into the Russian letters on
// the same physical keys (ЙЦУКЕН over QWERTY).

#include <string>

constexpr unsigned KLF_ACTIVATE = 1;

// "00000419" turns the Russian layout on; any other layout id turns it off.
// Returns true, as the layout is always available.
bool ActivateKeyboardLayout(const std::string& id, unsigned flags = KLF_ACTIVATE);
void DeactivateRussianLayout();
bool IsRussianLayoutActive();

// The Russian letter on the key that Qt reports as qtKey on a US keyboard
// (Qt::Key_Q -> й, Qt::Key_BracketLeft -> х, ...), capital when upper; the
// shifted key codes (Qt::Key_BraceLeft, Qt::Key_Colon, ...) give capitals too.
// Returns 0 for keys that carry no Russian letter.
char16_t RussianLetterForKey(int qtKey, bool upper);

// The Latin letter key ('A'..'Z') or US punctuation key code that carries a
// Russian letter, for the virtual-key code of a Cyrillic character; 0 if none.
int KeyForRussianLetter(char16_t letter);
