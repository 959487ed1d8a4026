#pragma once
// Key events as an X server with the US or the Russian XKB layout delivers them
// to Qt's xcb platform: the Qt key and the text that the layout gives, the XKB
// keycode as native scan code, the keysym as native virtual key and the X
// modifier state. The layouts are written out here from the XKB symbol files'
// point of view, independently of the program's own key tables.

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <array>
#include <stdexcept>
#include <string>

enum class TXLayout { Us, Ru };

class XKeyboard {
 public:
  explicit XKeyboard(TXLayout layout) : layout_(layout) {}

  // One physical key: its XKB keycode and whether Shift is held.
  struct TStroke {
    quint32 keycode;
    bool shift;
  };

  // The key that types c on the given layout; throws when no key does.
  static TStroke StrokeFor(TXLayout layout, char16_t c) {
    for (const TRow& row : kRows) {
      const std::u16string_view plain = layout == TXLayout::Us ? row.us : row.ru;
      const std::u16string_view shifted = layout == TXLayout::Us ? row.usShifted : row.ruShifted;
      for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == c) return {row.keycodes[i], false};
        if (shifted[i] == c) return {row.keycodes[i], true};
      }
    }
    if (c == u' ') return {kSpace, false};
    throw std::invalid_argument("no key types this character");
  }

  // Presses and releases each key that types the characters of text on the
  // Russian layout (Windows and XKB agree on them), sending what this X layout
  // delivers for it to target, or to the focus widget.
  void TypeRussianKeys(const std::u16string& text, QWidget* target = nullptr) const {
    for (char16_t c : text) Click(StrokeFor(TXLayout::Ru, c), Qt::NoModifier, target);
  }

  // The same for text as the US layout types it (the keys of a Latin answer).
  void TypeUsKeys(const std::u16string& text, QWidget* target = nullptr) const {
    for (char16_t c : text) Click(StrokeFor(TXLayout::Us, c), Qt::NoModifier, target);
  }

  // One key with extra modifiers (Ctrl, Alt; Shift comes from the stroke).
  void Click(TStroke stroke, Qt::KeyboardModifiers extra = Qt::NoModifier, QWidget* target = nullptr,
             bool capsLock = false) const {
    QWidget* to = target ? target : QApplication::focusWidget();
    if (!to) throw std::logic_error("no widget has the keyboard focus");
    const Qt::KeyboardModifiers mods = extra | (stroke.shift ? Qt::ShiftModifier : Qt::NoModifier);
    const char16_t c = Character(stroke, capsLock);
    QString text = c ? QString(QChar(c)) : QString();
    // X turns Ctrl+Latin letter into its control character; other keysyms keep their text.
    if ((mods & Qt::ControlModifier) && c < 0x80 && QChar(c).isLetter()) text = QString(QChar(c & 0x1F));
    const int key = KeyOf(stroke.keycode, c);
    const quint32 keysym = c < 0x100 ? c : 0x01000000u | c;
    quint32 state = 0;
    if (mods & Qt::ShiftModifier) state |= 0x1;
    if (capsLock) state |= 0x2;
    if (mods & Qt::ControlModifier) state |= 0x4;
    if (mods & Qt::AltModifier) state |= 0x8;
    const QPointer<QWidget> pressed(to);
    QKeyEvent press(QEvent::KeyPress, key, mods, stroke.keycode, keysym, state, text);
    QApplication::sendEvent(to, &press);
    // The release goes where the focus is now; the press may have closed its widget.
    QWidget* releasedOn = target ? pressed.data() : QApplication::focusWidget();
    if (!releasedOn) return;
    QKeyEvent release(QEvent::KeyRelease, key, mods, stroke.keycode, keysym, state, text);
    QApplication::sendEvent(releasedOn, &release);
  }

  // What this layout types on a key (Caps Lock acting on letters only).
  char16_t Character(TStroke stroke, bool capsLock = false) const {
    if (stroke.keycode == kSpace) return u' ';
    for (const TRow& row : kRows) {
      for (std::size_t i = 0; i < row.keycodes.size(); ++i) {
        if (row.keycodes[i] != stroke.keycode) continue;
        const bool us = layout_ == TXLayout::Us;
        const char16_t plain = (us ? row.us : row.ru)[i];
        const bool upper = QChar(plain).isLetter() ? stroke.shift != capsLock : stroke.shift;
        return (us ? (upper ? row.usShifted : row.us) : (upper ? row.ruShifted : row.ru))[i];
      }
    }
    return 0;
  }

  static constexpr quint32 kSpace = 65;

 private:
  struct TRow {
    std::array<quint32, 13> keycodes;
    std::u16string_view us, usShifted, ru, ruShifted;
  };
  // Keycodes TLDE AE01..AE12, AD01..AD12 BKSL, AC01..AC11, AB01..AB10 (unused slots 0).
  static constexpr std::array<TRow, 4> kRows = {{
      {{49, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21},
       u"`1234567890-=",
       u"~!@#$%^&*()_+",
       u"ё1234567890-=",
       u"Ё!\"№;%:?*()_+"},
      {{24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 51},
       u"qwertyuiop[]\\",
       u"QWERTYUIOP{}|",
       u"йцукенгшщзхъ\\",
       u"ЙЦУКЕНГШЩЗХЪ/"},
      {{38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 0, 0},
       u"asdfghjkl;'",
       u"ASDFGHJKL:\"",
       u"фывапролджэ",
       u"ФЫВАПРОЛДЖЭ"},
      {{52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 0, 0, 0},
       u"zxcvbnm,./",
       u"ZXCVBNM<>?",
       u"ячсмитьбю.",
       u"ЯЧСМИТЬБЮ,"},
  }};

  // Qt's key code for a keysym: the upper-case character, or Qt::Key_Space.
  static int KeyOf(quint32 keycode, char16_t c) {
    if (keycode == kSpace) return Qt::Key_Space;
    return QChar(c).toUpper().unicode();
  }

  TXLayout layout_;
};
