// A form is a window of its own: it stays off screen until it is shown, and
// changing its border style keeps it shown or hidden as it was.
#include <gtest/gtest.h>

#include <QWindow>

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

// A window owned by another (an overlay, a dialog) is a tool window that the
// window manager keeps above its owner: Qt tells it the owner as it is shown.
TEST(FormVisibilityTest, APopupFormIsAToolWindowOfItsOwner) {
  TForm owner, popup;
  owner.SetBounds(0, 0, 300, 200);
  owner.Show();
  popup.SetBorderStyle(bsNone);
  popup.SetPopupParent(&owner);
  popup.SetBounds(10, 10, 100, 50);
  popup.Show();
  EXPECT_EQ(popup.windowType(), Qt::Tool);
  EXPECT_TRUE(popup.windowFlags().testFlag(Qt::FramelessWindowHint));
  ASSERT_NE(popup.windowHandle(), nullptr);
  EXPECT_EQ(popup.windowHandle()->transientParent(), owner.windowHandle());
  popup.SetPopupParent(nullptr);
  EXPECT_EQ(popup.windowType(), Qt::Window);
  EXPECT_EQ(popup.windowHandle()->transientParent(), nullptr);
}

// The window manager minimises and restores a window too (its taskbar, its
// keys): the form's state follows, so its own minimise works again after.
TEST(FormVisibilityTest, MinimisingAndRestoringFromOutsideKeepsTheStateTrue) {
  TForm form;
  form.SetBounds(0, 0, 300, 200);
  form.Show();
  form.SetWindowState(wsMinimized);
  EXPECT_EQ(form.WindowState(), wsMinimized);
  form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
  EXPECT_EQ(form.WindowState(), wsNormal);
  form.SetWindowState(wsMinimized);
  EXPECT_EQ(form.WindowState(), wsMinimized);
  EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMinimized));
  form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
  form.setWindowState(form.windowState() | Qt::WindowMinimized);
  EXPECT_EQ(form.WindowState(), wsMinimized);
}

// Bounds read back and set again leave a decorated window where it is: the
// position is the frame's, wherever Qt puts the client area inside it.
TEST(FormVisibilityTest, BoundsSetAgainLeaveADecoratedWindowInPlace) {
  TForm form;
  form.SetBounds(100, 80, 300, 200);
  form.Show();
  const QRect frame = form.frameGeometry();
  for (int round = 0; round < 3; ++round) form.SetBoundsRect(form.BoundsRect());
  EXPECT_EQ(form.frameGeometry(), frame);
  EXPECT_EQ(form.Left(), frame.left());
  EXPECT_EQ(form.Top(), frame.top());
}
