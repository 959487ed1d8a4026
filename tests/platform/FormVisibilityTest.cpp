// A form is a window of its own: it stays off screen until it is shown, and
// changing its border style keeps it shown or hidden as it was.
#include <gtest/gtest.h>

#include "platform/Forms.h"

TEST(FormVisibilityTest, ANewFormIsHiddenUntilShown) {
  TForm form;
  EXPECT_FALSE(form.Visible());
  form.SetBorderStyle(bsNone);
  form.SetBounds(10, 20, 200, 100);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.isVisible());
  form.Show();
  EXPECT_TRUE(form.isVisible());
}

TEST(FormVisibilityTest, BorderStyleKeepsAShownFormShown) {
  TForm form;
  form.SetBounds(10, 20, 200, 100);
  form.Show();
  form.SetBorderStyle(bsNone);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.Width(), 200);
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST(FormVisibilityTest, RestylingIsNoShowOrHideOfTheProgram) {
  TForm form;
  int shows = 0, hides = 0;
  form.OnShow = [&](TObject*) { ++shows; };
  form.OnHide = [&](TObject*) { ++hides; };
  form.Show();
  form.SetBorderStyle(bsDialog);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(hides, 0);
}

// Without a window manager a window may receive keys without ever being
// activated: the control its window sends keys to still counts as focused.
TEST(FocusTest, TheWindowsFocusControlIsFocusedInAnInactiveWindow) {
  TForm form;
  form.setAttribute(Qt::WA_ShowWithoutActivating, true);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 200, 100);
  auto* first = new TPanel(&form);
  first->SetParent(&form);
  auto* second = new TPanel(&form);
  second->SetParent(&form);
  form.Show();
  ASSERT_FALSE(form.isActiveWindow());
  second->SetFocus();
  EXPECT_TRUE(second->Focused());
  EXPECT_FALSE(first->Focused());
  second->Hide();
  EXPECT_FALSE(second->Focused());
}
