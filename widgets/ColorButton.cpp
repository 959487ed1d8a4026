#include "widgets/ColorButton.h"

#include "platform/Canvas.h"

namespace {

// The classic 3D colours that the push-button frame uses besides the named ones.
constexpr TColor cl3DLight = 0xE3E3E3;
constexpr TColor cl3DDkShadow = 0x696969;

void HLine(TCanvas& c, int x0, int x1, int y, TColor color) {
  c.Brush.Color = color;
  c.Brush.Style = TBrushStyle::bsSolid;
  c.FillRect(Rect(x0, y, x1, y + 1));
}

void VLine(TCanvas& c, int x, int y0, int y1, TColor color) {
  c.Brush.Color = color;
  c.Brush.Style = TBrushStyle::bsSolid;
  c.FillRect(Rect(x, y0, x + 1, y1));
}

// One raised bevel ring: light on the top and left, dark on the bottom and right.
void Bevel(TCanvas& c, const TRect& r, TColor light, TColor dark) {
  HLine(c, r.Left, r.Right - 1, r.Top, light);
  VLine(c, r.Left, r.Top, r.Bottom - 1, light);
  HLine(c, r.Left, r.Right, r.Bottom - 1, dark);
  VLine(c, r.Right - 1, r.Top, r.Bottom, dark);
}

// The raised push-button frame with a face-coloured inside; returns the inside.
TRect DrawPushFrame(TCanvas& c, const TRect& r) {
  if (r.IsEmpty()) return r;
  Bevel(c, r, clBtnHighlight, cl3DDkShadow);
  Bevel(c, r.Inflated(-1, -1), cl3DLight, clBtnShadow);
  const TRect inside = r.Inflated(-2, -2);
  c.Brush.Color = clBtnFace;
  c.FillRect(inside);
  return inside;
}

// Embossed text: a highlight one pixel down-right, the shadow-coloured text on top.
void DrawDisabledText(TCanvas& c, int x, int y, const std::string& text) {
  c.Brush.Style = TBrushStyle::bsClear;
  c.Font.Color = clBtnHighlight;
  c.TextOut(x + 1, y + 1, text);
  c.Font.Color = clBtnShadow;
  c.TextOut(x, y, text);
}

// Embossed bitmap: every pixel not of the top-left pixel's colour is ink.
void DrawDisabledBitmap(TBitmap& target, int x, int y, const TBitmap& bitmap) {
  const std::uint32_t transparent = bitmap.Pixel(0, 0) & 0xFFFFFFu;
  for (auto [dx, colour] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
    for (int by = 0; by < bitmap.Height(); ++by)
      for (int bx = 0; bx < bitmap.Width(); ++bx) {
        const int tx = x + bx + dx, ty = y + by + dx;
        if ((bitmap.Pixel(bx, by) & 0xFFFFFFu) == transparent) continue;
        if (tx < 0 || ty < 0 || tx >= target.Width() || ty >= target.Height()) continue;
        target.SetPixel(tx, ty, ColorToPixel(colour));
      }
  }
}

// The dotted focus outline: every other pixel of the border inverted.
void DrawFocusRect(TBitmap& target, const TRect& r) {
  const TRect clip = IntersectRect(r, Rect(0, 0, target.Width(), target.Height()));
  for (int y = clip.Top; y < clip.Bottom; ++y)
    for (int x = clip.Left; x < clip.Right; ++x) {
      const bool border = y == r.Top || y == r.Bottom - 1 || x == r.Left || x == r.Right - 1;
      if (border && (x + y) % 2 == 0) target.SetPixel(x, y, target.Pixel(x, y) ^ 0x00FFFFFFu);
    }
}

}  // namespace

TColorButton::TColorButton(QObject* owner) : TCustomControl(owner) {
  SetTabStop(true);
}

void TColorButton::SetIconLeft(bool iconLeft) {
  if (iconLeft == iconLeft_) return;
  iconLeft_ = iconLeft;
  Invalidate();
}

void TColorButton::SetButtonStyle(bool isDefault) {
  if (isDefault == isDefault_) return;
  isDefault_ = isDefault;
  Repaint();
}

TOwnerDrawState TColorButton::DrawState() const {
  return (pushed_ ? odSelected : 0) | (Enabled() ? 0 : odDisabled) | (Focused() ? odFocus : 0);
}

void TColorButton::Paint() {
  DrawButton(ClientRect(), DrawState());
}

void TColorButton::DrawButton(const TRect& rect, TOwnerDrawState state) {
  TCanvas& c = Canvas();
  const bool pressed = state & odSelected;
  const bool focused = state & odFocus;
  const bool disabled = state & odDisabled;
  TRect r = rect;
  c.Pen = TPen{clWindowFrame, 1};
  if (isDefault_ || focused) {
    c.Brush.Style = TBrushStyle::bsClear;
    c.Rectangle(r);
    r = r.Inflated(-1, -1);
  }
  if (pressed) {
    c.Pen.Color = clBtnShadow;
    c.Brush = TBrush{clBtnFace, TBrushStyle::bsSolid};
    c.Rectangle(r);
    r = r.Inflated(-1, -1).Offset(1, 1);
  } else {
    r = DrawPushFrame(c, r);
  }
  c.Brush = TBrush{Color(), TBrushStyle::bsSolid};
  c.FillRect(r);
  c.Font = Font();
  c.Font.Color = clBtnText;
  DrawCaptionAndIcon(r, disabled);
  if (OnDrawButton) OnDrawButton(this, r, state);
  if (isDefault_ && focused) DrawFocusRect(c.Bitmap(), rect.Inflated(-4, -4));
}

// Caption and icon are centred on the face as measured from the button's own
// corner, so they stay put when the face sinks; a lone caption follows r.
void TColorButton::DrawCaptionAndIcon(const TRect& r, bool disabled) {
  TCanvas& c = Canvas();
  c.Brush.Style = TBrushStyle::bsClear;
  const std::string& text = Caption();
  const int tw = c.TextWidth(text), th = c.TextHeight(text);
  const int rw = r.Width(), rh = r.Height();
  if (!icon_.Empty()) {
    const int iw = icon_.Width(), ih = icon_.Height();
    const int tx = (rw - (tw + iw)) / 2 + (iconLeft_ ? iw : 0);
    const int ty = (rh - th) / 2;
    const int ix = iconLeft_ ? tx - iw : tx + tw;
    const int iy = (rh - ih) / 2;
    if (disabled) {
      DrawDisabledText(c, tx, ty, text);
      DrawDisabledBitmap(c.Bitmap(), ix, iy, icon_);
    } else {
      c.TextOut(tx, ty, text);
      c.Draw(ix, iy, icon_);
    }
    return;
  }
  if (disabled) {
    DrawDisabledText(c, (rw - tw) / 2, (rh - th) / 2, text);
    return;
  }
  c.TextRect(r, r.Left + (rw - tw) / 2, r.Top + (rh - th) / 2, text);
}

void TColorButton::SetPushed(bool pushed) {
  if (pushed == pushed_) return;
  pushed_ = pushed;
  Invalidate();
}

void TColorButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (CanFocus()) SetFocus();
  held_ = true;
  secondPress_ = shift & ssDouble;
  SetPushed(true);
}

void TColorButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  // Held down, the face is sunken only while the cursor is over it.
  if (held_) SetPushed(ClientRect().Contains(Point(x, y)));
}

void TColorButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && held_) {
    held_ = false;
    SetPushed(false);
    // A double click is a second press, and its release clicks too.
    if (secondPress_ && ClientRect().Contains(Point(x, y))) Click();
    secondPress_ = false;
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TColorButton::KeyDown(unsigned short& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE) {
    spaceHeld_ = true;
    SetPushed(true);
    key = 0;
  } else if (key == VK_RETURN) {
    key = 0;
    Click();
  }
}

void TColorButton::KeyUp(unsigned short& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key != VK_SPACE || !spaceHeld_) return;
  spaceHeld_ = false;
  SetPushed(false);
  Click();
}

void TColorButton::DoEnter() {
  TCustomControl::DoEnter();
  SetButtonStyle(true);
}

void TColorButton::DoExit() {
  TCustomControl::DoExit();
  held_ = spaceHeld_ = false;
  SetPushed(false);
  SetButtonStyle(false);
}
