#include "platform/KeyboardLayout.h"

#include <QChar>
#include <array>
#include <utility>

namespace {

bool russianActive = false;

// Each key: its unshifted Qt code, its shifted Qt code (the same for letters)
// and the lower-case Russian letter on it.
struct TKeyLetter {
  int key;
  int shiftedKey;
  char16_t letter;
};

constexpr std::array<TKeyLetter, 33> kKeys = {{
    {Qt::Key_Q, Qt::Key_Q, u'й'},
    {Qt::Key_W, Qt::Key_W, u'ц'},
    {Qt::Key_E, Qt::Key_E, u'у'},
    {Qt::Key_R, Qt::Key_R, u'к'},
    {Qt::Key_T, Qt::Key_T, u'е'},
    {Qt::Key_Y, Qt::Key_Y, u'н'},
    {Qt::Key_U, Qt::Key_U, u'г'},
    {Qt::Key_I, Qt::Key_I, u'ш'},
    {Qt::Key_O, Qt::Key_O, u'щ'},
    {Qt::Key_P, Qt::Key_P, u'з'},
    {Qt::Key_BracketLeft, Qt::Key_BraceLeft, u'х'},
    {Qt::Key_BracketRight, Qt::Key_BraceRight, u'ъ'},
    {Qt::Key_A, Qt::Key_A, u'ф'},
    {Qt::Key_S, Qt::Key_S, u'ы'},
    {Qt::Key_D, Qt::Key_D, u'в'},
    {Qt::Key_F, Qt::Key_F, u'а'},
    {Qt::Key_G, Qt::Key_G, u'п'},
    {Qt::Key_H, Qt::Key_H, u'р'},
    {Qt::Key_J, Qt::Key_J, u'о'},
    {Qt::Key_K, Qt::Key_K, u'л'},
    {Qt::Key_L, Qt::Key_L, u'д'},
    {Qt::Key_Semicolon, Qt::Key_Colon, u'ж'},
    {Qt::Key_Apostrophe, Qt::Key_QuoteDbl, u'э'},
    {Qt::Key_Z, Qt::Key_Z, u'я'},
    {Qt::Key_X, Qt::Key_X, u'ч'},
    {Qt::Key_C, Qt::Key_C, u'с'},
    {Qt::Key_V, Qt::Key_V, u'м'},
    {Qt::Key_B, Qt::Key_B, u'и'},
    {Qt::Key_N, Qt::Key_N, u'т'},
    {Qt::Key_M, Qt::Key_M, u'ь'},
    {Qt::Key_Comma, Qt::Key_Less, u'б'},
    {Qt::Key_Period, Qt::Key_Greater, u'ю'},
    {Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, u'ё'},
}};

char16_t Upper(char16_t c) {
  return QChar(c).toUpper().unicode();
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

char16_t RussianLetterForKey(int qtKey, bool upper) {
  for (const TKeyLetter& k : kKeys) {
    if (qtKey == k.key) return upper ? Upper(k.letter) : k.letter;
    if (qtKey == k.shiftedKey) return Upper(k.letter);
  }
  return 0;
}

int KeyForRussianLetter(char16_t letter) {
  const char16_t lower = QChar(letter).toLower().unicode();
  for (const TKeyLetter& k : kKeys) {
    if (k.letter == lower) return k.key;
  }
  return 0;
}
