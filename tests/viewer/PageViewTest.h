#pragma once
// A page view on a shown form over the fake plug-in's documents. The screen
// has 4 pixels per millimetre, so at 100 % the fake 100 x 150 mm page is
// 400 x 600 pixels; at 50 % every millimetre is 2 pixels.

#include <QImage>
#include <QTest>

#include "PageFixtures.h"
#include "platform/Forms.h"
#include "platform/Screen.h"
#include "viewer/PageView.h"

class PageViewTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    SetScreenProvider([] { return TScreenMetrics{1000, 800, 250, 200}; });
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, kClientWidth, kClientHeight);
    view = new TPluginPageView(nullptr);
    view->SetParent(&form);
    view->SetColor(kBackground);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  void TearDown() override {
    // The view lets its page and document go before the plug-in layer does.
    delete view;
    ResetScreenProvider();
    PageTest::TearDown();
  }

  // Shows page n of a fake document of pages pages, width x height mm.
  void ShowPage(int n = 1, double widthMm = 100, double heightMm = 150, int pages = 3) {
    ASSERT_NE(OpenDocument("fake_djvu", pages, widthMm, heightMm), nullptr);
    view->SetFileName(Folder() + "book.djvu");
    view->SetPageIndex(n);
    view->SetActive(true);
    ASSERT_TRUE(view->Active());
  }

  // What the view shows now.
  QImage Shot() const { return view->grab().toImage(); }
  static TColor At(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

  static constexpr int kClientWidth = 640;
  static constexpr int kClientHeight = 480;
  // Not a colour of the fake pages.
  static constexpr TColor kBackground = 0x00FF00;
  static constexpr TColor kPaper = clWhite;
  static constexpr TColor kInk = clBlack;

  TForm form;
  TPluginPageView* view = nullptr;
};
