#include "widgets/ImageButton.h"

#include <algorithm>

#include "platform/Canvas.h"
#include "platform/FileSystem.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "widgets/AlphaBitmap.h"

namespace {

// One picture by the extension of the first file (the others share it).
TBitmap LoadPicture(const std::string& fileName, const std::string& ext) {
  if (!FileExists(fileName)) throw Exception(Format("File \"%s\" not found", fileName));
  if (ext == ".jpg") return LoadJpeg(fileName);
  if (ext == ".bmp") {
    TBitmap bitmap;
    bitmap.LoadFromFile(fileName);
    return bitmap;
  }
  throw Exception(Format("Unknown file format \"%s\"", ext));
}

TBitmap LoadVariant(const std::string& stem, const std::string& suffix, const std::string& ext,
                    const TBitmap& fallback) {
  const std::string fileName = stem + suffix + ext;
  return FileExists(fileName) ? LoadPicture(fileName, ext) : fallback;
}

bool IsInside(const TControl& control, int x, int y) {
  return control.ClientRect().Contains(Point(x, y));
}

}  // namespace

void TPictureControl::ShowPicture(const TBitmap& picture) {
  picture_ = picture;
  Invalidate();
}

void TPictureControl::Paint() {
  Canvas().Draw(0, 0, picture_);
}

// --- TImageButton ---

void TImageButton::LoadImages(const std::string& fileName) {
  if (!FileExists(fileName)) throw Exception(Format("Image \"%s\" not found.", fileName));
  const std::string ext = LowerCase(ExtractFileExt(fileName));
  const std::string stem = ChangeFileExt(fileName, "");
  NormalPicture = LoadPicture(fileName, ext);
  OverPicture = LoadVariant(stem, "_over", ext, NormalPicture);
  DownPicture = LoadVariant(stem, "_click", ext, NormalPicture);
  ShowPicture(NormalPicture);
}

void TImageButton::Show(std::uint8_t state, const TBitmap& picture) {
  state_ = state;
  ShowPicture(picture);
}

void TImageButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TPictureControl::MouseDown(button, shift, x, y);
  if (button == mbLeft) Show(bsDown, DownPicture);
}

void TImageButton::MouseMove(TShiftState shift, int x, int y) {
  TPictureControl::MouseMove(shift, x, y);
  if (state_ == bsNormal && IsInside(*this, x, y)) Show(bsOver, OverPicture);
}

void TImageButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TPictureControl::MouseUp(button, shift, x, y);
  if (button == mbLeft) Show(bsNormal, NormalPicture);
}

void TImageButton::MouseLeave() {
  TPictureControl::MouseLeave();
  if (state_ == bsOver) Show(bsNormal, NormalPicture);
}

// --- TImageButton2 ---

void TImageButton2::LoadSheet(const std::string& fileName) {
  if (LowerCase(ExtractFileExt(fileName)) == ".png") {
    Sheet = *LoadAlphaBitmap(fileName, true);
    return;
  }
  Sheet.LoadFromFile(fileName);
  // The mask is a by-product for the artists; a read-only folder must not cost the button its look.
  try {
    SaveAlphaMask(Sheet, fileName + "-alpha.bmp");
  } catch (const Exception&) {
  }
  PremultiplyBitmap(Sheet);
}

bool TImageButton2::FrameOrigin(int n, TPoint& origin) const {
  if (FrameWidth <= 0 || FrameHeight <= 0 || n < 0) return false;
  const int perRow = Sheet.Width() / FrameWidth;
  if (perRow == 0) return false;
  origin = Point((n % perRow) * FrameWidth, (n / perRow) * FrameHeight);
  return origin.Y + FrameHeight <= Sheet.Height();
}

void TImageButton2::SetState(std::uint8_t state) {
  state_ = state;
  TBitmap composed(std::max(FrameWidth, 0), std::max(FrameHeight, 0));
  BitBlt(composed, 0, 0, composed.Width(), composed.Height(), Background, Left(), Top());
  TPoint origin;
  if (FrameOrigin(state, origin))
    AlphaBlend(composed, Bounds(0, 0, FrameWidth, FrameHeight), Sheet,
               Bounds(origin.X, origin.Y, FrameWidth, FrameHeight));
  ShowPicture(composed);
}

void TImageButton2::Click() {
  if (!Disabled()) TPictureControl::Click();
}

void TImageButton2::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TPictureControl::MouseDown(button, shift, x, y);
  pressed_ = true;
  if (!Disabled()) SetState(bsDown);
}

void TImageButton2::MouseMove(TShiftState shift, int x, int y) {
  TPictureControl::MouseMove(shift, x, y);
  if (Disabled()) return;
  // Qt keeps sending moves to a pressed button after the cursor has left it;
  // leaving shows the normal look at once, as an unpressed leave does.
  if (!IsInside(*this, x, y)) {
    if (pressed_ && state_ != bsNormal) SetState(bsNormal);
    return;
  }
  if (state_ == bsNormal) SetState(bsOver);
}

void TImageButton2::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TPictureControl::MouseUp(button, shift, x, y);
  pressed_ = false;
  if (!Disabled()) SetState(bsNormal);
}

void TImageButton2::MouseLeave() {
  TPictureControl::MouseLeave();
  if (!Disabled()) SetState(bsNormal);
}
