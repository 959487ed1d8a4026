#include "exercise/MarkupFonts.h"

#include <algorithm>
#include <cstdint>

#include "exercise/TextTokens.h"
#include "platform/StrUtils.h"

namespace {

int ClampFontSize(std::int64_t size) {
  return static_cast<int>(std::clamp<std::int64_t>(size, -MaxMarkupFontSize, MaxMarkupFontSize));
}

int IntegerAttribute(const std::string& value) {
  int result = 0;
  if (!TryStrToInt(value, result)) throw Exception(Format("Integer expected, but \"%s\" found.", value));
  return result;
}

}  // namespace

void ApplyFontAttributes(const std::string& attrs, TFont* font, const TFont& base) {
  if (!font) return;
  *font = base;
  ForEachAttribute(attrs, [font](const std::string& key, const std::string& value) {
    if (key == "name") {
      font->Name = value;
    } else if (key == "size") {
      font->SetSize(ClampFontSize(IntegerAttribute(value)));
    } else if (key == "color") {
      font->Color = IntegerAttribute(StringReplaceAll(value, "#", "$"));
    }
  });
}

int FontSizeStep(const std::string& arg, const TFont& font) {
  int steps = 0;
  if (!TryStrToInt(arg, steps)) throw Exception("Not a number in a <fontsize> tag.");
  const std::int64_t size = font.Size();
  const std::int64_t sign = (size > 0) - (size < 0);
  return ClampFontSize(size + 2 * std::int64_t{steps} * sign);
}
