// Rendering a page in each pixel format the plug-ins write, with the exact
// pixels of the fake page: white, a black block at (40, 30)-(160, 90) and a
// red square at (40, 150)-(80, 180) at the native 200 x 300 pixels.
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "platform/Canvas.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

struct Format {
  const char* Name;
  const char* Variant;
  int Code;
  std::uint32_t Red;  // what the red square becomes in this format
};

class PageRenderTest : public PageTest, public ::testing::WithParamInterface<Format> {};

TEST_P(PageRenderTest, WholePageComesOutPixelExact) {
  ASSERT_NE(OpenDocument(GetParam().Variant), nullptr);
  TPluginPage2* page = Page();
  ASSERT_EQ(page->SetPixelFormat(GetParam().Code), GetParam().Code);
  TBitmap canvas = Canvas(*page);
  // A rectangle beyond every edge renders the whole render size.
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(-10, -10, 5000, 5000)), 0);
  Keep(canvas, std::string("page-") + GetParam().Name);
  EXPECT_EQ(canvas.Pixel(0, 0), kWhite);
  EXPECT_EQ(canvas.Pixel(39, 30), kWhite);
  EXPECT_EQ(canvas.Pixel(40, 30), kBlack);
  EXPECT_EQ(canvas.Pixel(159, 89), kBlack);
  EXPECT_EQ(canvas.Pixel(160, 89), kWhite);
  EXPECT_EQ(canvas.Pixel(40, 150), GetParam().Red);
  EXPECT_EQ(canvas.Pixel(79, 179), GetParam().Red);
  EXPECT_EQ(canvas.Pixel(80, 179), kWhite);
  EXPECT_EQ(canvas.Pixel(199, 299), kWhite);
}

TEST_P(PageRenderTest, PartOfThePageLandsAtItsOwnPlace) {
  ASSERT_NE(OpenDocument(GetParam().Variant), nullptr);
  TPluginPage2* page = Page();
  ASSERT_EQ(page->SetPixelFormat(GetParam().Code), GetParam().Code);
  int w = 100, h = 0;
  ASSERT_TRUE(page->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH));  // half size: 100 x 150
  TBitmap canvas = Canvas(*page);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(18, 10, 40, 80)), 0);
  EXPECT_EQ(canvas.Pixel(20, 15), kBlack);
  // Mono starts at the byte boundary 16.
  EXPECT_EQ(canvas.Pixel(17, 15), GetParam().Code == FOLIO_PIXELS_MONO ? kWhite : kMarker);
  EXPECT_EQ(canvas.Pixel(15, 15), kMarker);
  EXPECT_EQ(canvas.Pixel(20, 75), GetParam().Red);
  EXPECT_EQ(canvas.Pixel(20, 80), kMarker);
  EXPECT_EQ(canvas.Pixel(40, 20), kMarker);
}

INSTANTIATE_TEST_SUITE_P(Formats, PageRenderTest,
                         ::testing::Values(Format{"mono", "fake_djvu", FOLIO_PIXELS_MONO, 0xFF000000u},
                                           Format{"grey", "fake_djvu", FOLIO_PIXELS_GREY,
                                                  0xFF4C4C4Cu},  // 255 - darkness 179
                                           Format{"rgb", "fake_djvu", FOLIO_PIXELS_RGB, 0xFFFF0000u},
                                           Format{"rgbx", "fake_djvu", FOLIO_PIXELS_RGBX, 0xFFFF0000u},
                                           Format{"device", "fake_device", FOLIO_PIXELS_DEVICE, 0xFFFF0000u}),
                         [](const auto& info) { return std::string(info.param.Name); });

using PageRenderEdgeTest = PageTest;

TEST_F(PageRenderEdgeTest, MonoRendersWholeBytesFromTheLeft) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  ASSERT_NE(page->SetPixelFormat(FOLIO_PIXELS_MONO), 0);
  TBitmap canvas = Canvas(*page);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(3, 0, 10, 4)), 0);  // becomes (0, 0, 16, 4)
  EXPECT_EQ(canvas.Pixel(0, 0), kWhite);
  EXPECT_EQ(canvas.Pixel(15, 3), kWhite);
  EXPECT_EQ(canvas.Pixel(16, 3), kMarker);
  EXPECT_EQ(canvas.Pixel(15, 4), kMarker);
}

TEST_F(PageRenderEdgeTest, MonoAtTheRightEdgeOfAnOddWidthStillRenders) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  ASSERT_NE(page->SetPixelFormat(FOLIO_PIXELS_MONO), 0);
  int w = 203, h = 0;
  ASSERT_TRUE(page->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH));
  TBitmap canvas = Canvas(*page);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(195, 0, 203, 10)), 0);
  EXPECT_EQ(canvas.Pixel(192, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(202, 5), kWhite);
}

TEST_F(PageRenderEdgeTest, EmptyRectangleDrawsNothing) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  TBitmap canvas = Canvas(*page);
  EXPECT_EQ(page->Render(canvas.Canvas(), Rect(50, 50, 50, 80)), 0);
  EXPECT_EQ(page->Render(canvas.Canvas(), Rect(200, 0, 260, 10)), 0);  // beyond the right edge
  EXPECT_EQ(canvas.Pixel(50, 50), kMarker);
}

TEST_F(PageRenderEdgeTest, FormatThePluginRefusesKeepsTheOneItWrites) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  ASSERT_NE(page->SetPixelFormat(FOLIO_PIXELS_GREY), 0);
  EXPECT_EQ(page->SetPixelFormat(FOLIO_PIXELS_DEVICE), 0);
  EXPECT_EQ(page->SetPixelFormat(3), 0);
  EXPECT_EQ(page->PixelFormatCode(), FOLIO_PIXELS_GREY);
  TBitmap canvas = Canvas(*page);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(0, 0, 200, 300)), 0);
  EXPECT_EQ(canvas.Pixel(40, 150), 0xFF4C4C4Cu);
}

TEST_F(PageRenderEdgeTest, FailedBlitStillDrawsTheFreshBitmap) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  TBitmap canvas(50, 50);
  canvas.Image().fill(kMarker);
  // The page's render size is larger than the plug-in's page after this exact size was refused.
  int w = 0, h = 10;
  EXPECT_FALSE(page->SetSize(w, h, FOLIO_SIZE_EXACT));
  EXPECT_EQ(page->RenderWidth(), 200);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(0, 0, 10, 10)), 0);
  EXPECT_EQ(canvas.Pixel(9, 9), kWhite);
}

}  // namespace
