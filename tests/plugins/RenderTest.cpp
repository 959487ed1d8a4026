// Page sizes and rendering into the viewer's buffers in every pixel format.
#include <QPainter>
#include <cstring>

#include "platform/Cp1251.h"
#include "tests/plugins/PluginFixtures.h"

namespace {

constexpr int kWidth = 400;

class RenderTest : public EachPluginTest {
 protected:
  void SetUp() override {
    EachPluginTest::SetUp();
    document_ = std::make_unique<TDocument>(Api(), Sample());
    ASSERT_TRUE(document_->Opened());
    page_ = std::make_unique<TPage>(Api(), *document_, 1);
    height_ = page_->FitWidth(kWidth);
  }

  TBlitRec Target(const QRect& area, std::vector<uint8_t>& bits, int stride) const {
    TBlitRec target{};
    target.Left = area.left();
    target.Top = area.top();
    target.Right = area.right() + 1;
    target.Bottom = area.bottom() + 1;
    target.One = 1;
    target.Bits = bits.data();
    target.Stride = stride;
    target.BitsSize = int32_t(bits.size());
    return target;
  }

  std::unique_ptr<TDocument> document_;
  std::unique_ptr<TPage> page_;
  int height_ = 0;
};

}  // namespace

TEST_P(RenderTest, SizeModesKeepThePageProportions) {
  const double ratio = page_->Info().Height / page_->Info().Width;
  EXPECT_EQ(height_, std::lround(kWidth * ratio));
  int width = 0, height = 700;
  ASSERT_TRUE(Api().SetPageSize(page_->Handle(), &width, &height, FOLIO_SIZE_FIT_HEIGHT));
  EXPECT_EQ(width, std::lround(700 / ratio));
  EXPECT_EQ(height, 700);
  width = 123, height = 45;
  ASSERT_TRUE(Api().SetPageSize(page_->Handle(), &width, &height, FOLIO_SIZE_EXACT));
  EXPECT_EQ(width, 123);
  EXPECT_EQ(height, 45);
}

TEST_P(RenderTest, RefusesSizesItCannotRender) {
  for (auto [width, height, mode] :
       std::vector<std::tuple<int, int, int>>{{0, 100, FOLIO_SIZE_EXACT},
                                              {100, -5, FOLIO_SIZE_EXACT},
                                              {100, 100, 4},
                                              {2000000, 1, FOLIO_SIZE_FIT_WIDTH}}) {
    int w = width, h = height;
    EXPECT_FALSE(Api().SetPageSize(page_->Handle(), &w, &h, mode))
        << width << " x " << height << " mode " << mode;
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
  }
  int width = 100;
  EXPECT_FALSE(Api().SetPageSize(page_->Handle(), &width, nullptr, FOLIO_SIZE_FIT_WIDTH));
  // A refused size leaves the render size as it was: the old size still renders.
  EXPECT_FALSE(page_->Render(QRect(0, 0, kWidth, height_)).isNull());
}

TEST_P(RenderTest, InkWhereTheTextIsAndWhiteMargins) {
  const QImage picture = page_->Render(QRect(0, 0, kWidth, height_));
  ASSERT_FALSE(picture.isNull());
  SaveRender(picture, GetParam() + "-page1");
  const TContext context(Api(), *document_, 1);
  const QRect heading = page_->Pixels(context.WordRect("Правописание"_cp));
  EXPECT_GT(InkShare(picture, heading), 0.08) << heading.x() << "," << heading.y();
  // The samples keep 15 mm margins; the outer 10 mm are paper only.
  const int margin = kWidth * 10 / 148;
  for (const QRect band : {QRect(0, 0, kWidth, margin), QRect(0, height_ - margin, kWidth, margin),
                           QRect(0, 0, margin, height_), QRect(kWidth - margin, 0, margin, height_)}) {
    for (int y = band.top(); y <= band.bottom(); ++y)
      for (int x = band.left(); x <= band.right(); ++x)
        ASSERT_EQ(picture.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
  }
}

TEST_P(RenderTest, EveryPixelFormatShowsTheSamePixels) {
  const QRect area(0, 0, kWidth, height_ / 3);
  const QImage colour = page_->Render(area);
  ASSERT_FALSE(colour.isNull());
  const auto rgbx = page_->RenderRows(FOLIO_PIXELS_RGBX, area, 4 * kWidth);
  const auto rgb = page_->RenderRows(FOLIO_PIXELS_RGB, area, 3 * kWidth + 4);
  const auto grey = page_->RenderRows(FOLIO_PIXELS_GREY, area, kWidth);
  const auto mono = page_->RenderRows(FOLIO_PIXELS_MONO, area, kWidth / 8);
  ASSERT_FALSE(rgb.empty() || grey.empty() || mono.empty());
  int black = 0;
  for (int y = 0; y < area.height(); ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const QRgb pixel = colour.pixel(x, y);
      const uint8_t* p = &rgb[std::size_t(y) * (3 * kWidth + 4) + 3 * x];
      ASSERT_EQ(qRgb(p[2], p[1], p[0]), pixel) << x << "," << y;
      ASSERT_EQ(rgbx[std::size_t(y) * 4 * kWidth + 4 * x + 3], 0);
      const uint8_t darkness = grey[std::size_t(y) * kWidth + x];
      ASSERT_EQ(darkness, Luma(pixel)) << x << "," << y;
      const bool set = mono[std::size_t(y) * kWidth / 8 + x / 8] & (0x80 >> (x % 8));
      ASSERT_EQ(set, darkness >= 128) << x << "," << y;
      black += set;
    }
  }
  EXPECT_GT(black, 100);
  // The padding at the end of the RGB rows is not ours to write.
  EXPECT_EQ(rgb[3 * kWidth], 0xA5);
}

TEST_P(RenderTest, APartOfThePageMatchesTheWholeRender) {
  const QImage whole = page_->Render(QRect(0, 0, kWidth, height_));
  const QRect part(37, 41, 211, 97);
  const QImage slice = page_->Render(part);
  ASSERT_FALSE(slice.isNull());
  int differing = 0;
  for (int y = 0; y < part.height(); ++y)
    for (int x = 0; x < part.width(); ++x)
      differing += std::abs(qGray(slice.pixel(x, y)) - qGray(whole.pixel(part.x() + x, part.y() + y))) > 8;
  EXPECT_LT(differing, part.width() * part.height() / 200);
  EXPECT_GT(InkShare(slice, slice.rect()), 0.01);
}

// The plug-ins keep their buffers between renders: a smaller or shifted area
// after a larger one must not show any of the earlier picture.
TEST_P(RenderTest, RendersOfOtherAreasInTurnGiveTheirOwnPixels) {
  for (const QRect area :
       {QRect(0, 0, kWidth, height_ / 2), QRect(33, 71, 121, 45), QRect(0, height_ / 2, kWidth, 40)}) {
    const QImage colour = page_->Render(area);
    ASSERT_FALSE(colour.isNull());
    const int stride = (area.width() + 3) / 4 * 4;
    const auto grey = page_->RenderRows(FOLIO_PIXELS_GREY, area, stride);
    ASSERT_FALSE(grey.empty());
    for (int y = 0; y < area.height(); ++y)
      for (int x = 0; x < area.width(); ++x)
        ASSERT_EQ(grey[std::size_t(y) * stride + x], Luma(colour.pixel(x, y)))
            << area.x() << "," << area.y() << ": " << x << "," << y;
  }
}

TEST_P(RenderTest, ATargetOfOneRowNeedsNoStride) {
  const QRect row(5, height_ / 4, 300, 1);
  const QImage colour = page_->Render(row);
  ASSERT_FALSE(colour.isNull());
  for (const int code : {FOLIO_PIXELS_RGB, FOLIO_PIXELS_RGBX}) {
    const int bytes = code == FOLIO_PIXELS_RGB ? 3 : 4;
    std::vector<uint8_t> bits(std::size_t(bytes) * row.width(), 0xA5);
    TBlitRec target = Target(row, bits, 0);
    ASSERT_EQ(Api().SetPagePixelFormat(page_->Handle(), code), code);
    ASSERT_TRUE(Api().Blit(page_->Handle(), &target));
    for (int x = 0; x < row.width(); ++x) {
      const uint8_t* p = &bits[std::size_t(bytes) * x];
      ASSERT_EQ(qRgb(p[2], p[1], p[0]), colour.pixel(x, 0)) << code << ": " << x;
    }
  }
}

TEST_P(RenderTest, BottomUpTargetsGetTheSameRows) {
  const QRect area(0, 0, kWidth, 120);
  const int stride = 4 * kWidth;
  std::vector<uint8_t> bits(std::size_t(stride) * area.height());
  // Row 0 lies at the end of the buffer, each next row one stride lower.
  TBlitRec target = Target(area, bits, -stride);
  target.Bits = bits.data() + std::size_t(stride) * (area.height() - 1);
  ASSERT_EQ(Api().SetPagePixelFormat(page_->Handle(), FOLIO_PIXELS_RGBX), FOLIO_PIXELS_RGBX);
  ASSERT_TRUE(Api().Blit(page_->Handle(), &target));
  const auto topDown = page_->RenderRows(FOLIO_PIXELS_RGBX, area, stride);
  for (int y = 0; y < area.height(); ++y)
    ASSERT_EQ(std::memcmp(&bits[std::size_t(area.height() - 1 - y) * stride],
                          &topDown[std::size_t(y) * stride], std::size_t(stride)),
              0)
        << "row " << y;
}

TEST_P(RenderTest, RefusesTargetsTooSmallAndLeavesThemAlone) {
  const QRect area(0, 0, 64, 16);
  ASSERT_EQ(Api().SetPagePixelFormat(page_->Handle(), FOLIO_PIXELS_RGB), FOLIO_PIXELS_RGB);
  std::vector<uint8_t> bits(3 * 64 * 16, 0xA5);
  TBlitRec target = Target(area, bits, 3 * 64);
  target.BitsSize -= 1;
  EXPECT_FALSE(Api().Blit(page_->Handle(), &target));
  target = Target(area, bits, 3 * 64 - 1);  // rows would overlap
  EXPECT_FALSE(Api().Blit(page_->Handle(), &target));
  target = Target(area, bits, 3 * 64);
  target.Bits = nullptr;
  EXPECT_FALSE(Api().Blit(page_->Handle(), &target));
  EXPECT_EQ(std::count(bits.begin(), bits.end(), 0xA5), std::ptrdiff_t(bits.size()));
  EXPECT_FALSE(PluginLog().empty());
}

TEST_P(RenderTest, RefusesRectanglesOutsideThePageAndBadRecords) {
  std::vector<uint8_t> bits(4 * 1000 * 2);
  for (const QRect area : {QRect(-1, 0, 10, 1), QRect(kWidth - 5, 0, 10, 1), QRect(0, height_, 10, 1)}) {
    TBlitRec target = Target(area, bits, 4 * 1000);
    EXPECT_FALSE(Api().Blit(page_->Handle(), &target)) << area.x() << "," << area.y();
  }
  TBlitRec empty = Target(QRect(10, 10, 10, 10), bits, 40);
  empty.Right = empty.Left;
  EXPECT_FALSE(Api().Blit(page_->Handle(), &empty));
  TBlitRec foreign = Target(QRect(0, 0, 10, 1), bits, 40);
  foreign.One = 0;
  EXPECT_FALSE(Api().Blit(page_->Handle(), &foreign));
  EXPECT_FALSE(Api().Blit(page_->Handle(), nullptr));
  EXPECT_EQ(Api().SetPagePixelFormat(page_->Handle(), 3), 0);
}

TEST_P(RenderTest, DrawsOnThePainterOfTheDeviceFormat) {
  const QRect area(20, 30, 250, 120);
  const QImage expected = page_->Render(area);
  QImage canvas(kWidth, height_, QImage::Format_RGB32);
  canvas.fill(Qt::red);
  {
    QPainter painter(&canvas);
    ASSERT_EQ(Api().SetPagePixelFormat(page_->Handle(), FOLIO_PIXELS_DEVICE), FOLIO_PIXELS_DEVICE);
    TBlitRec target{};
    target.Left = area.left();
    target.Top = area.top();
    target.Right = area.right() + 1;
    target.Bottom = area.bottom() + 1;
    target.One = 1;
    target.Device = &painter;
    ASSERT_TRUE(Api().Blit(page_->Handle(), &target));
    target.Device = nullptr;
    EXPECT_FALSE(Api().Blit(page_->Handle(), &target));
  }
  EXPECT_EQ(canvas.copy(area), expected);
  EXPECT_EQ(canvas.pixel(area.left() - 1, area.top()), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(area.right() + 1, area.bottom()), qRgb(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Formats, RenderTest, ::testing::Values("pdf", "djvu"));

// The colour page of the DjVu sample starts with a blue picture.
TEST_F(PluginTest, DjvuRendersColourPages) {
  const TPluginApi& api = Plugin("djvu");
  TDocument document(api, SamplePath("sample.djvu"));
  ASSERT_TRUE(document.Opened());
  TPage page(api, document, 2);
  const int height = page.FitWidth(kWidth);
  const QImage picture = page.Render(QRect(0, 0, kWidth, height));
  SaveRender(picture, "djvu-page2");
  const QRgb block = picture.pixel(kWidth / 2, page.Pixels({0, 17, 10, 17}).top());
  EXPECT_LT(qRed(block), 90);
  EXPECT_GT(qBlue(block), 160);
}

// Page 3 of the DjVu sample is page 1 turned a quarter counter-clockwise: its
// text, links and pixels all turn with it.
TEST_F(PluginTest, DjvuTurnsPagesByTheirOrientation) {
  const TPluginApi& api = Plugin("djvu");
  TDocument document(api, SamplePath("sample.djvu"));
  ASSERT_TRUE(document.Opened());
  TPage page(api, document, 3);
  EXPECT_NEAR(page.Info().Width, 210, 1);
  EXPECT_NEAR(page.Info().Height, 148, 1);
  const int height = page.FitWidth(kWidth);
  const QImage picture = page.Render(QRect(0, 0, kWidth, height));
  SaveRender(picture, "djvu-page3");
  const TContext context(api, document, 3);
  const TPluginRect heading = context.WordRect("Правописание"_cp);
  // Turned counter-clockwise, the heading runs up the left side.
  EXPECT_GT(heading.Bottom - heading.Top, 3 * (heading.Right - heading.Left));
  EXPECT_LT(heading.Right, 30);
  EXPECT_GT(InkShare(picture, page.Pixels(heading)), 0.08);
  const std::vector<TLink> links = context.Links();
  ASSERT_EQ(links.size(), 1u);
  ASSERT_EQ(links[0].Points.size(), 2u);
  const TPluginRect word = context.WordRect("Далее"_cp);
  EXPECT_NEAR(links[0].Points[0].X, word.Left, 0.2);
  EXPECT_NEAR(links[0].Points[0].Y, word.Top, 0.2);
  EXPECT_NEAR(links[0].Points[1].X, word.Right, 0.2);
  EXPECT_NEAR(links[0].Points[1].Y, word.Bottom, 0.2);
}
