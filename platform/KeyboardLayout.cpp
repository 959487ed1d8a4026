#include "platform/KeyboardLayout.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <algorithm>
#include <array>
#include <string_view>

#include "platform/Control.h"

namespace {

bool russianActive = false;

// One key of the typing block: its Linux input code, the virtual-key code the
// US layout gives it, and what it types on the US and on the Windows Russian
// layout, unshifted and with Shift.
struct TKeyPlace {
  unsigned short inputCode;
  unsigned short vk;
  char16_t us, usShifted;
  char16_t ru, ruShifted;
};

constexpr unsigned short VK_OEM_1 = 186, VK_OEM_PLUS = 187, VK_OEM_COMMA = 188, VK_OEM_MINUS = 189,
                         VK_OEM_PERIOD = 190, VK_OEM_2 = 191, VK_OEM_3 = 192, VK_OEM_4 = 219, VK_OEM_5 = 220,
                         VK_OEM_6 = 221, VK_OEM_7 = 222, VK_OEM_102 = 226;

// The punctuation keys of the US layout, by what they type unshifted.
constexpr std::u16string_view kOemCharacters = u"`-=[]\\;',./";
constexpr std::array<unsigned short, 11> kOemKeys = {VK_OEM_3,     VK_OEM_MINUS,  VK_OEM_PLUS, VK_OEM_4,
                                                     VK_OEM_6,     VK_OEM_5,      VK_OEM_1,    VK_OEM_7,
                                                     VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2};

// The virtual-key code of the key that types c unshifted on the US layout.
constexpr unsigned short UsVirtualKey(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<unsigned short>(c - u'a' + u'A');
  if ((c >= u'0' && c <= u'9') || c == u' ') return c;
  const std::size_t oem = kOemCharacters.find(c);
  return oem == std::u16string_view::npos ? 0 : kOemKeys[oem];
}

// A run of neighbouring keys: the input code of its first key and what each
// key types, in the order of the run. vk names a one-key run whose code its US
// character does not tell.
struct TKeyRun {
  unsigned short firstInputCode;
  std::u16string_view us, usShifted, ru, ruShifted;
  unsigned short vk = 0;
};

constexpr TKeyRun kRuns[] = {
    {41, u"`", u"~", u"ё", u"Ё"},
    {2, u"1234567890-=", u"!@#$%^&*()_+", u"1234567890-=", u"!\"№;%:?*()_+"},
    {16, u"qwertyuiop[]", u"QWERTYUIOP{}", u"йцукенгшщзхъ", u"ЙЦУКЕНГШЩЗХЪ"},
    {43, u"\\", u"|", u"\\", u"/"},
    {30, u"asdfghjkl;'", u"ASDFGHJKL:\"", u"фывапролджэ", u"ФЫВАПРОЛДЖЭ"},
    {44, u"zxcvbnm,./", u"ZXCVBNM<>?", u"ячсмитьбю.", u"ЯЧСМИТЬБЮ,"},
    {86, u"\\", u"|", u"\\", u"/", VK_OEM_102},  // the extra key of European keyboards
    {57, u" ", u" ", u" ", u" "},
};

constexpr std::size_t CountPlaces() {
  std::size_t n = 0;
  for (const TKeyRun& run : kRuns) n += run.us.size();
  return n;
}

constexpr std::array<TKeyPlace, CountPlaces()> PlacesOfRuns() {
  std::array<TKeyPlace, CountPlaces()> places{};
  std::size_t n = 0;
  for (const TKeyRun& run : kRuns) {
    for (std::size_t i = 0; i < run.us.size(); ++i) {
      places[n++] = {static_cast<unsigned short>(run.firstInputCode + i),
                     run.vk ? run.vk : UsVirtualKey(run.us[i]),
                     run.us[i],
                     run.usShifted[i],
                     run.ru[i],
                     run.ruShifted[i]};
    }
  }
  return places;
}

// The typing block, key by key; where two keys type the same, the first wins.
constexpr std::array<TKeyPlace, CountPlaces()> kPlaces = PlacesOfRuns();
static_assert(kPlaces.size() == 49);

struct TKeyCode {
  int qtKey;
  unsigned short vk;
};

// Keys that type no character, by their Qt codes.
constexpr std::array<TKeyCode, 22> kCommandKeys = {{
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},      {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},        {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},       {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Space, VK_SPACE},
}};

// The X and Wayland state bit of Caps Lock in QKeyEvent::nativeModifiers().
constexpr quint32 kLockMask = 0x2;

enum class TScanCodes { Xkb, Pc, None };

// What the platform's nativeScanCode() holds.
TScanCodes ScanCodeKind() {
  static const TScanCodes kind = [] {
    const QString platform = QGuiApplication::platformName();
    if (platform == "windows") return TScanCodes::Pc;
    // macOS gives its own virtual key numbers; read its keys by their characters.
    if (platform == "cocoa" || platform == "ios") return TScanCodes::None;
    // xcb, wayland and libinput give XKB keycodes; offscreen gives none (0).
    return TScanCodes::Xkb;
  }();
  return kind;
}

// The Linux input code of the event's key; -1 when the platform gives none.
int InputCodeOf(const QKeyEvent& e) {
  const quint32 scan = e.nativeScanCode();
  if (scan == 0) return -1;
  switch (ScanCodeKind()) {
    case TScanCodes::Xkb:
      return scan >= 8 ? int(scan - 8) : -1;
    case TScanCodes::Pc:
      // Extended keys (0xE0 prefix) lie outside the typing block.
      return (scan & 0xFF00) ? -1 : int(scan);
    case TScanCodes::None:
      break;
  }
  return -1;
}

// The first key of the typing block that matches.
template <class Matches>
const TKeyPlace* FindPlace(Matches matches) {
  const auto* place = std::find_if(kPlaces.begin(), kPlaces.end(), matches);
  return place == kPlaces.end() ? nullptr : place;
}

const TKeyPlace* PlaceByInputCode(int code) {
  return FindPlace([code](const TKeyPlace& p) { return p.inputCode == code; });
}

// The key that types c on the US layout.
const TKeyPlace* PlaceByUsCharacter(char16_t c) {
  return FindPlace([c](const TKeyPlace& p) { return p.us == c || p.usShifted == c; });
}

const TKeyPlace* PlaceByRussianLetter(char16_t c) {
  const char16_t lower = QChar(c).toLower().unicode();
  if (!QChar(lower).isLetter()) return nullptr;
  return FindPlace([lower](const TKeyPlace& p) { return p.ru == lower; });
}

// The key of the event: by scan code when the platform gives one, else the US
// key of its character. Keypad keys have no place here.
const TKeyPlace* PlaceOf(const QKeyEvent& e) {
  if (e.modifiers() & Qt::KeypadModifier) return nullptr;
  const int code = InputCodeOf(e);
  if (code >= 0) return PlaceByInputCode(code);
  if (e.text().size() != 1) return nullptr;
  return PlaceByUsCharacter(e.text().at(0).unicode());
}

bool IsLatinLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The Russian layout's character on a key; typed is what the platform typed
// there, which also tells Shift and Caps Lock apart where the event does not.
char16_t RussianCharacterOf(const TKeyPlace& place, const QKeyEvent& e, char16_t typed) {
  const bool byScanCode = InputCodeOf(e) >= 0;
  const bool shift = byScanCode ? bool(e.modifiers() & Qt::ShiftModifier) : typed == place.usShifted;
  if (!QChar(place.ru).isLetter()) return shift ? place.ruShifted : place.ru;
  bool upper = shift;
  if (IsLatinLetter(typed))
    upper = QChar(typed).isUpper();
  else if (byScanCode && (e.nativeModifiers() & kLockMask))
    upper = !shift;
  return upper ? place.ruShifted : place.ru;
}

// Keys that keep their meaning on a Latin layout: printable ASCII by the US
// key that types it, F-keys and the command keys. 0 for anything else.
unsigned short LatinVirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + (qtKey - Qt::Key_F1);
  for (const TKeyCode& code : kCommandKeys) {
    if (code.qtKey == qtKey) return code.vk;
  }
  if (qtKey < 0x21 || qtKey > 0x7E) return 0;
  const TKeyPlace* place = PlaceByUsCharacter(static_cast<char16_t>(qtKey));
  return place ? place->vk : 0;
}

}  // namespace

bool ActivateKeyboardLayout(const std::string& id, unsigned /*flags*/) {
  russianActive = id == kRussianLayout;
  return true;
}

void DeactivateRussianLayout() {
  russianActive = false;
}

bool IsRussianLayoutActive() {
  return russianActive;
}

unsigned short PhysicalKeyOf(const QKeyEvent& e) {
  const TKeyPlace* place = PlaceOf(e);
  return place ? place->vk : 0;
}

unsigned short VirtualKeyOf(int qtKey) {
  if (const unsigned short vk = LatinVirtualKey(qtKey)) return vk;
  const TKeyPlace* place = qtKey > 0x7F && qtKey <= 0xFFFF ? PlaceByRussianLetter(char16_t(qtKey)) : nullptr;
  return place ? place->vk : 0;
}

unsigned short VirtualKeyOf(const QKeyEvent& e) {
  if (const unsigned short vk = LatinVirtualKey(e.key())) return vk;
  if (const TKeyPlace* place = PlaceByInputCode(InputCodeOf(e))) return place->vk;
  return VirtualKeyOf(e.key());
}

char16_t TypedCharacter(const QKeyEvent& e) {
  if (e.text().isEmpty()) return 0;
  const char16_t typed = e.text().at(0).unicode();
  // Control characters, chords and what a non-Latin layout types pass unchanged.
  if (!russianActive || typed < 0x20 || typed > 0x7E ||
      (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return typed;
  const TKeyPlace* place = PlaceOf(e);
  return place ? RussianCharacterOf(*place, e, typed) : typed;
}

namespace {

int ShortCutModifiers(Qt::KeyboardModifiers modifiers) {
  int value = 0;
  if (modifiers & Qt::ShiftModifier) value |= 0x2000;
  if (modifiers & Qt::ControlModifier) value |= 0x4000;
  if (modifiers & Qt::AltModifier) value |= 0x8000;
  return value;
}

}  // namespace

int ShortCutOf(const QKeyEvent& e) {
  return VirtualKeyOf(e) | ShortCutModifiers(e.modifiers());
}

int ShortCutOf(QKeyCombination key) {
  return VirtualKeyOf(int(key.key())) | ShortCutModifiers(key.keyboardModifiers());
}
