#pragma once
// The words of the viewer's sample documents (UTF-8). The generator writes
// them; the plug-in tests look for them in what the plug-ins extract.

#include <array>
#include <string_view>
#include <vector>

struct TSamplePage {
  std::string_view Heading;
  std::vector<std::string_view> Lines;
};

// The PDF and the DjVu sample show these pages in this order (the DjVu the first two).
inline const std::array<TSamplePage, 3> kSamplePages = {{
    {"Правописание гласных в корне",
     {"Безударную гласную в корне слова", "проверяют ударением: вода — воды,",
      "трава — травы, гора — горы."}},
    {"Проверочные слова", {"Зима — зимы, звезда — звёзды,", "стена — стены, река — реки."}},
    {"Упражнение", {"Вставьте пропущенные буквы:", "з..ма, тр..ва, г..ра, зв..зда."}},
}};

// The web address that both samples link to.
inline constexpr std::string_view kSampleWebLink = "https://example.org/rules";
