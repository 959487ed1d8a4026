// The screen provider, and forms that cover the screen it describes.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/Forms.h"
#include "platform/Screen.h"

namespace {

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetScreenProvider([] { return TScreenMetrics{1024, 768, 270, 203}; });
  }
  void TearDown() override { ResetScreenProvider(); }
};

}  // namespace

TEST_F(ScreenTest, TheProviderDecidesTheScreen) {
  EXPECT_EQ(ScreenMetrics().Width, 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(ScreenDeviceCaps(HORZSIZE), 270);
  EXPECT_EQ(ScreenDeviceCaps(VERTRES), 768);
  EXPECT_EQ(ScreenDeviceCaps(LOGPIXELSY), 96);

  ResetScreenProvider();
  const QRect primary = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(ScreenMetrics().Width, primary.width());
  EXPECT_EQ(ScreenMetrics().Height, primary.height());
}

TEST_F(ScreenTest, AFullScreenFormCoversTheScreenAtOnce) {
  TForm form;
  form.SetBounds(100, 100, 300, 200);
  auto* client = new TPanel(&form);
  client->SetParent(&form);
  client->SetAlign(alClient);
  form.SetFullScreen();
  EXPECT_EQ(form.BorderStyle(), bsNone);
  EXPECT_EQ(form.BoundsRect(), Bounds(0, 0, 1024, 768));
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 0, 1024, 768));

  // Maximising afresh picks up a changed screen; normal restores the old bounds.
  SetScreenProvider([] { return TScreenMetrics{1280, 1024, 340, 270}; });
  form.SetWindowState(wsNormal);
  EXPECT_EQ(form.BoundsRect(), Bounds(100, 100, 300, 200));
  form.SetWindowState(wsMaximized);
  EXPECT_EQ(client->Width(), 1280);
  EXPECT_EQ(client->Height(), 1024);
}
