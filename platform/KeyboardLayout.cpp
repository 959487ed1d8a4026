#include "platform/KeyboardLayout.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <array>

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

constexpr std::array<TKeyPlace, 49> kPlaces = {{
    {41, VK_OEM_3, u'`', u'~', u'ё', u'Ё'},
    {2, '1', u'1', u'!', u'1', u'!'},
    {3, '2', u'2', u'@', u'2', u'"'},
    {4, '3', u'3', u'#', u'3', u'№'},
    {5, '4', u'4', u'$', u'4', u';'},
    {6, '5', u'5', u'%', u'5', u'%'},
    {7, '6', u'6', u'^', u'6', u':'},
    {8, '7', u'7', u'&', u'7', u'?'},
    {9, '8', u'8', u'*', u'8', u'*'},
    {10, '9', u'9', u'(', u'9', u'('},
    {11, '0', u'0', u')', u'0', u')'},
    {12, VK_OEM_MINUS, u'-', u'_', u'-', u'_'},
    {13, VK_OEM_PLUS, u'=', u'+', u'=', u'+'},
    {16, 'Q', u'q', u'Q', u'й', u'Й'},
    {17, 'W', u'w', u'W', u'ц', u'Ц'},
    {18, 'E', u'e', u'E', u'у', u'У'},
    {19, 'R', u'r', u'R', u'к', u'К'},
    {20, 'T', u't', u'T', u'е', u'Е'},
    {21, 'Y', u'y', u'Y', u'н', u'Н'},
    {22, 'U', u'u', u'U', u'г', u'Г'},
    {23, 'I', u'i', u'I', u'ш', u'Ш'},
    {24, 'O', u'o', u'O', u'щ', u'Щ'},
    {25, 'P', u'p', u'P', u'з', u'З'},
    {26, VK_OEM_4, u'[', u'{', u'х', u'Х'},
    {27, VK_OEM_6, u']', u'}', u'ъ', u'Ъ'},
    {43, VK_OEM_5, u'\\', u'|', u'\\', u'/'},
    {30, 'A', u'a', u'A', u'ф', u'Ф'},
    {31, 'S', u's', u'S', u'ы', u'Ы'},
    {32, 'D', u'd', u'D', u'в', u'В'},
    {33, 'F', u'f', u'F', u'а', u'А'},
    {34, 'G', u'g', u'G', u'п', u'П'},
    {35, 'H', u'h', u'H', u'р', u'Р'},
    {36, 'J', u'j', u'J', u'о', u'О'},
    {37, 'K', u'k', u'K', u'л', u'Л'},
    {38, 'L', u'l', u'L', u'д', u'Д'},
    {39, VK_OEM_1, u';', u':', u'ж', u'Ж'},
    {40, VK_OEM_7, u'\'', u'"', u'э', u'Э'},
    {44, 'Z', u'z', u'Z', u'я', u'Я'},
    {45, 'X', u'x', u'X', u'ч', u'Ч'},
    {46, 'C', u'c', u'C', u'с', u'С'},
    {47, 'V', u'v', u'V', u'м', u'М'},
    {48, 'B', u'b', u'B', u'и', u'И'},
    {49, 'N', u'n', u'N', u'т', u'Т'},
    {50, 'M', u'm', u'M', u'ь', u'Ь'},
    {51, VK_OEM_COMMA, u',', u'<', u'б', u'Б'},
    {52, VK_OEM_PERIOD, u'.', u'>', u'ю', u'Ю'},
    {53, VK_OEM_2, u'/', u'?', u'.', u','},
    {86, VK_OEM_102, u'\\', u'|', u'\\', u'/'},  // the extra key of European keyboards
    {57, VK_SPACE, u' ', u' ', u' ', u' '},
}};

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

const TKeyPlace* PlaceByInputCode(int code) {
  for (const TKeyPlace& p : kPlaces) {
    if (p.inputCode == code) return &p;
  }
  return nullptr;
}

// The key that types c on the US layout.
const TKeyPlace* PlaceByUsCharacter(char16_t c) {
  for (const TKeyPlace& p : kPlaces) {
    if (p.us == c || p.usShifted == c) return &p;
  }
  return nullptr;
}

const TKeyPlace* PlaceByRussianLetter(char16_t c) {
  const char16_t lower = QChar(c).toLower().unicode();
  for (const TKeyPlace& p : kPlaces) {
    if (p.ru == lower && QChar(lower).isLetter()) return &p;
  }
  return nullptr;
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
  russianActive = id == "00000419";
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
