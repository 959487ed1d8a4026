#pragma once
// Documents and pages of a fake plug-in opened through the file manager, and
// pictures of what the tests rendered, for a person to look at.

#include <string>

#include "PluginFixtures.h"
#include "platform/Bitmap.h"

class TPluginDocument;
class TPluginPage2;

class PageTest : public PluginTest {
 protected:
  void TearDown() override;

  // Installs variant as the only plug-in (serving "djvu") and opens a fake
  // document of that many pages, width x height millimetres and quarter turns.
  TPluginDocument* OpenDocument(const std::string& variant, int pages = 3, double widthMm = 100,
                                double heightMm = 150, int turns = 0);
  // Page n of the document opened last; the document releases it.
  TPluginPage2* Page(int n = 1);
  // A bitmap of the page's render size, filled with colour.
  TBitmap Canvas(const TPluginPage2& page, std::uint32_t colour = kMarker) const;
  // Leaves bitmap as a PNG in the render folder.
  static void Keep(const TBitmap& bitmap, const std::string& name);

  // Not a colour of the fake pages: shows what was left undrawn.
  static constexpr std::uint32_t kMarker = 0xFF00FF00u;
  static constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
  static constexpr std::uint32_t kBlack = 0xFF000000u;
  static constexpr std::uint32_t kRed = 0xFFFF0000u;
  static constexpr std::uint32_t kBlue = 0xFF0000FFu;

  TPluginDocument* document = nullptr;
};
