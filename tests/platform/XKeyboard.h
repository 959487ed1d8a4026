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
    TStroke stroke{0, false};
    FindKey([&](quint32 keycode, const TKeyChars& key) {
      const TKeyChars::TLevels& levels = key.Of(layout);
      if (levels.plain == c || levels.shifted == c) stroke = {keycode, levels.plain != c};
      return stroke.keycode != 0;
    });
    if (stroke.keycode == 0) throw std::invalid_argument("no key types this character");
    return stroke;
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
    char16_t c = 0;
    FindKey([&](quint32 keycode, const TKeyChars& key) {
      if (keycode != stroke.keycode) return false;
      const TKeyChars::TLevels& levels = key.Of(layout_);
      const bool upper = QChar(levels.plain).isLetter() ? stroke.shift != capsLock : stroke.shift;
      c = upper ? levels.shifted : levels.plain;
      return true;
    });
    return c;
  }

  static constexpr quint32 kSpace = 65;

 private:
  // What a key types on each layout, unshifted and with Shift.
  struct TKeyChars {
    struct TLevels {
      char16_t plain, shifted;
    };
    TLevels us, ru;
    const TLevels& Of(TXLayout layout) const { return layout == TXLayout::Us ? us : ru; }
  };
  // A run of keys with consecutive XKB keycodes, and what they type.
  struct TRun {
    quint32 firstKeycode;
    std::u16string_view us, usShifted, ru, ruShifted;
  };
  static constexpr std::array<TRun, 7> kRuns = {{
      {49, u"`", u"~", u"ё", u"Ё"},                                               // TLDE
      {10, u"1234567890-=", u"!@#$%^&*()_+", u"1234567890-=", u"!\"№;%:?*()_+"},  // AE01..AE12
      {24, u"qwertyuiop[]", u"QWERTYUIOP{}", u"йцукенгшщзхъ", u"ЙЦУКЕНГШЩЗХЪ"},   // AD01..AD12
      {51, u"\\", u"|", u"\\", u"/"},                                             // BKSL
      {38, u"asdfghjkl;'", u"ASDFGHJKL:\"", u"фывапролджэ", u"ФЫВАПРОЛДЖЭ"},      // AC01..AC11
      {52, u"zxcvbnm,./", u"ZXCVBNM<>?", u"ячсмитьбю.", u"ЯЧСМИТЬБЮ,"},           // AB01..AB10
      {kSpace, u" ", u" ", u" ", u" "},                                           // SPCE
  }};

  // Walks the keys, run by run, until matches(keycode, chars) says so.
  template <class Matches>
  static void FindKey(Matches matches) {
    for (const TRun& run : kRuns) {
      for (std::size_t i = 0; i < run.us.size(); ++i) {
        const TKeyChars key{{run.us[i], run.usShifted[i]}, {run.ru[i], run.ruShifted[i]}};
        if (matches(run.firstKeycode + quint32(i), key)) return;
      }
    }
  }

  // Qt's key code for a keysym: the upper-case character, or Qt::Key_Space.
  static int KeyOf(quint32 keycode, char16_t c) {
    if (keycode == kSpace) return Qt::Key_Space;
    return QChar(c).toUpper().unicode();
  }

  TXLayout layout_;
};
