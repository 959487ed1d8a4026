// The fake plug-in's pages through the raw contract, as the document and page
// classes drive them: sizing, blitting in each pixel layout, text and links.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cstring>
#include <vector>

#include "PluginFixtures.h"
#include "viewer/Plugin/Plugin.h"

namespace {

class FakePageTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    ASSERT_TRUE(plugin.Load(FakeVariant("fake_djvu")));
    document = plugin.CreateDocument();
    TDocumentSetupRec setup{};
    ASSERT_TRUE(plugin.SetupDocument(document, &setup));
    ASSERT_TRUE(plugin.OpenDocument(document, MakeDocument("a.djvu", "djvu", 2).c_str()));
    ASSERT_TRUE(plugin.CreatePage(document, 1, &info));
  }
  void TearDown() override {
    plugin.DestroyPage(info.Page);
    plugin.DestroyDocument(document);
    PluginTest::TearDown();
  }
  // Blits the whole page into a bottom-up buffer, as device-independent bitmaps lie.
  std::vector<uint8_t> BlitBottomUp(int code, int rowBytes, int32_t& result) {
    std::vector<uint8_t> bits(std::size_t(rowBytes * info.NativeHeight), 0xAA);
    TBlitRec target{};
    target.Right = info.NativeWidth;
    target.Bottom = info.NativeHeight;
    target.One = 1;
    target.Bits = bits.data() + std::size_t(rowBytes * (info.NativeHeight - 1));
    target.Stride = -rowBytes;
    target.BitsSize = int32_t(bits.size());
    EXPECT_EQ(plugin.SetPagePixelFormat(info.Page, code), code);
    result = plugin.Blit(info.Page, &target);
    return bits;
  }

  TPlugin plugin;
  TPluginHandle document = 0;
  TPageInfo info{};
};

TEST_F(FakePageTest, PageRecordIsFilled) {
  EXPECT_EQ(info.Width, 100);
  EXPECT_EQ(info.Height, 150);
  EXPECT_STREQ(info.Caption, "Page 1");
  EXPECT_EQ(info.NativeWidth, 200);
  EXPECT_EQ(info.NativeHeight, 300);
  EXPECT_NE(info.Page, 0);
  TPageInfo none{};
  EXPECT_FALSE(plugin.CreatePage(document, 3, &none));
  EXPECT_FALSE(plugin.CreatePage(document, 1, nullptr));
}

TEST_F(FakePageTest, SizeModesKeepTheProportions) {
  int32_t w = 100, h = 1;
  ASSERT_TRUE(plugin.SetPageSize(info.Page, &w, &h, FOLIO_SIZE_FIT_WIDTH));
  EXPECT_EQ(h, 150);
  w = 1, h = 60;
  ASSERT_TRUE(plugin.SetPageSize(info.Page, &w, &h, FOLIO_SIZE_FIT_HEIGHT));
  EXPECT_EQ(w, 40);
  w = 0;
  EXPECT_FALSE(plugin.SetPageSize(info.Page, &w, &h, FOLIO_SIZE_EXACT));
  EXPECT_FALSE(plugin.SetPageSize(info.Page, nullptr, &h, FOLIO_SIZE_EXACT));
}

TEST_F(FakePageTest, BlitsThirtyTwoBitPixelsIntoABottomUpBuffer) {
  int32_t result = 0;
  std::vector<uint8_t> bits = BlitBottomUp(FOLIO_PIXELS_RGBX, 4 * info.NativeWidth, result);
  ASSERT_EQ(result, 1);
  // Turn the rows top-down for QImage, keep a picture to look at, and check pixels.
  QImage image(info.NativeWidth, info.NativeHeight, QImage::Format_RGB32);
  for (int y = 0; y < info.NativeHeight; ++y)
    std::memcpy(image.scanLine(y),
                bits.data() + std::size_t(4 * info.NativeWidth * (info.NativeHeight - 1 - y)),
                std::size_t(4 * info.NativeWidth));
  QDir().mkpath(VIEWER_RENDER_DIR);
  image.save(VIEWER_RENDER_DIR "/fake-page.png");
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(40, 30), qRgb(0, 0, 0));   // block from (40, 30)
  EXPECT_EQ(image.pixel(159, 89), qRgb(0, 0, 0));  // to (160, 90) exclusive
  EXPECT_EQ(image.pixel(160, 89), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(40, 150), qRgb(255, 0, 0));  // red square
  EXPECT_EQ(image.pixel(199, 299), qRgb(255, 255, 255));
}

TEST_F(FakePageTest, BlitsMonoAndGrey) {
  int32_t result = 0;
  const int monoRow = info.NativeWidth / 8;
  std::vector<uint8_t> mono = BlitBottomUp(FOLIO_PIXELS_MONO, monoRow, result);
  ASSERT_EQ(result, 1);
  const auto monoRowAt = [&](int y) {
    return mono.data() + std::size_t(monoRow * (info.NativeHeight - 1 - y));
  };
  EXPECT_EQ(monoRowAt(30)[5], 0xFF);  // columns 40..47 black
  EXPECT_EQ(monoRowAt(30)[4], 0x00);
  EXPECT_EQ(monoRowAt(29)[5], 0x00);

  std::vector<uint8_t> grey = BlitBottomUp(FOLIO_PIXELS_GREY, info.NativeWidth, result);
  ASSERT_EQ(result, 1);
  const auto greyAt = [&](int x, int y) {
    return grey[std::size_t(info.NativeWidth * (info.NativeHeight - 1 - y) + x)];
  };
  EXPECT_EQ(greyAt(0, 0), 0);      // white
  EXPECT_EQ(greyAt(40, 30), 255);  // black
  EXPECT_EQ(greyAt(40, 150), 255 - 76);
}

TEST_F(FakePageTest, RefusesTargetsItCannotFill) {
  std::vector<uint8_t> bits(64);
  TBlitRec target{};
  target.Right = 4;
  target.Bottom = 4;
  target.One = 1;
  target.Bits = bits.data();
  target.Stride = 16;
  target.BitsSize = 63;  // one byte short of 4 rows of 16
  EXPECT_EQ(plugin.Blit(info.Page, &target), 0);
  target.BitsSize = 64;
  EXPECT_EQ(plugin.Blit(info.Page, &target), 1);
  target.Right = info.NativeWidth + 1;
  EXPECT_EQ(plugin.Blit(info.Page, &target), 0);
  EXPECT_EQ(plugin.Blit(info.Page, nullptr), 0);
  EXPECT_EQ(plugin.SetPagePixelFormat(info.Page, FOLIO_PIXELS_DEVICE), 0);
}

TEST_F(FakePageTest, TextAndLinksOfAPage) {
  TContextRec context{};
  ASSERT_TRUE(plugin.CreateContext(document, &context));
  TContextSetupRec setup{};
  setup.Page = setup.PageLast = 1;
  setup.Cookie = context.Cookie;
  plugin.SetupContext(context.Context, &setup);

  const char* text = nullptr;
  int32_t length = 0;
  plugin.GetText(context.Context, &text, &length);
  ASSERT_EQ(length, 16);
  EXPECT_EQ(std::string(text, std::size_t(length)), "Page 1\n\xD1\xF2\xF0. text");
  TPluginRect rects[2] = {};
  plugin.ReadRects(context.Context, rects, 6, 2);
  EXPECT_EQ(rects[0].Right, 0);  // the line feed has no place
  EXPECT_EQ(rects[1].Top, 18);   // first character of the second line

  ASSERT_EQ(plugin.ReadActiveRectsCount(context.Context), 3);
  int32_t count = 0;
  plugin.ReadActiveRects(context.Context, 2, &count, nullptr, nullptr, 0);
  ASSERT_EQ(count, 6);
  std::vector<TPluginPoint> points(6);
  char link[FOLIO_LINK_TEXT_SIZE] = {};
  EXPECT_EQ(plugin.ReadActiveRects(context.Context, 2, &count, points.data(), link, sizeof link), 1);
  EXPECT_STREQ(link, "web\nhttps://example.org/");
  int32_t wrong = 5;  // an array sized for another count is not filled
  EXPECT_EQ(plugin.ReadActiveRects(context.Context, 2, &wrong, points.data(), link, sizeof link), 0);
  plugin.DestoryContext(context.Context);
}

}  // namespace
