// A form is a window of its own: it stays off screen until it is shown, and
// changing its border style keeps whatever it showed.
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

TEST(FormVisibilityTest, BorderStyleKeepsAShownFormShownAndInPlace) {
  TForm form;
  form.SetBounds(10, 20, 200, 100);
  form.Show();
  form.SetBorderStyle(bsNone);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.BoundsRect(), Bounds(10, 20, 200, 100));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
}
