#pragma once
// The program's own keyboard layout state, and what a key event means.
//
// Linux cannot switch the layout of one window, so "activate the Russian
// layout" is remembered here. While it holds, a key types what the Windows
// Russian layout (ЙЦУКЕН) puts on that physical key, whatever the X layout is.
// The physical key comes from the platform's scan code: under X and Wayland it
// is the XKB keycode (Linux input code + 8), the same for every layout; on
// Windows it is the PC scan code. Platforms and synthetic events that give no
// scan code are read as a US keyboard: the key is the one that types the
// event's character there.

#include <QKeyCombination>
#include <string>

class QKeyEvent;

constexpr unsigned KLF_ACTIVATE = 1;

// The layout ids of the Russian and the US layouts.
inline constexpr char kRussianLayout[] = "00000419";
inline constexpr char kLatinLayout[] = "00000409";

// kRussianLayout turns the Russian layout on; any other layout id turns it off.
// Returns true, as the layout is always available.
bool ActivateKeyboardLayout(const std::string& id, unsigned flags = KLF_ACTIVATE);
void DeactivateRussianLayout();
bool IsRussianLayoutActive();

// The physical key of the event, named by the virtual-key code the US layout
// gives it ('A'..'Z', '0'..'9', the OEM punctuation codes, VK_SPACE); 0 for
// keys outside the typing block and unknown keys.
unsigned short PhysicalKeyOf(const QKeyEvent& e);

// The Windows virtual-key code of a Qt key code: letters, digits, F-keys,
// movement and punctuation keys; a Cyrillic letter gives the key it lies on in
// the Russian layout. 0 when there is none.
unsigned short VirtualKeyOf(int qtKey);

// The Windows virtual-key code of a key event. Keys that Qt names in Latin
// keep the X layout's meaning, as Windows keeps a Latin layout's; keys of a
// non-Latin layout (a Cyrillic letter, "№") give the code of their physical
// key, so shortcuts such as Ctrl+C work whatever the layout.
unsigned short VirtualKeyOf(const QKeyEvent& e);

// The character the key types under the program's layout state, before any
// control filters it; 0 when it types none. With Ctrl or Alt held, and when
// the platform's layout already types a non-ASCII character (a Russian X
// layout), the event's own text is taken as it comes.
char16_t TypedCharacter(const QKeyEvent& e);

// A shortcut as the class library stores one: the virtual-key code, plus
// $2000 for Shift, $4000 for Ctrl and $8000 for Alt. A key event and a Qt key
// combination that mean the same shortcut give the same value on any layout.
int ShortCutOf(const QKeyEvent& e);
int ShortCutOf(QKeyCombination key);
