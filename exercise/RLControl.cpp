#include "exercise/RLControl.h"

#include <QDir>
#include <QPointer>
#include <algorithm>
#include <sstream>
#include <vector>

#include "exercise/RLParser.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/FileCache.h"
#include "platform/FileSystem.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"

std::string ImagesFolder;

namespace {

struct TMargins {
  int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// A margins file holds four numbers of a few digits.
constexpr std::size_t kMaxMarginsBytes = 4 << 10;

TMargins ReadMargins(const std::string& path) {
  std::istringstream in(ReadTextFile(path, kMaxMarginsBytes));
  TMargins m;
  if (!(in >> m.Left >> m.Right >> m.Top >> m.Bottom) || m.Left < 0 || m.Right < 0 || m.Top < 0 ||
      m.Bottom < 0)
    throw Exception(Format("The margins file %s must start with four whole numbers of pixels.", path));
  return m;
}

struct TSkinFile {
  TBitmap Bitmap;
  TMargins Margins;
};

// Reads a skin, noting each of its two files before reading it, and a skin
// missing from the current folder as missing: put there later, it wins.
TSkinFile ReadSkinFile(const std::string& fileName, TFileStamps& files) {
  std::string path = fileName;
  if (!FileExists(path)) {
    files.Add(NativePath(path));
    path = ImagesFolder + fileName;
  }
  if (!FileExists(path)) throw Exception(Format("File not found: %s", fileName));
  files.Add(NativePath(path));
  TSkinFile skin;
  skin.Bitmap.LoadFromFile(path);
  const std::string marginsPath = ChangeFileExt(path, ".txt");
  if (!FileExists(marginsPath)) throw Exception(Format("File not found: %s", marginsPath));
  files.Add(NativePath(marginsPath));
  const TMargins m = ReadMargins(marginsPath);
  // A margin cuts the picture, which has at most kMaxPictureSide pixels a
  // side: a larger one is of no use, and values near the top of the int range
  // would overflow the sizes made from them.
  if (std::max({m.Left, m.Right, m.Top, m.Bottom}) > kMaxPictureSide)
    throw Exception(Format("The margins %d, %d, %d, %d in %s exceed the %d pixels a picture may have a side",
                           m.Left, m.Right, m.Top, m.Bottom, marginsPath, kMaxPictureSide));
  skin.Margins = m;
  return skin;
}

// A page holds up to thousands of controls that show one of a few skins, and
// finding and reading a skin's two files costs far more than the control: each
// skin is read once and shared (bitmaps share pixels until written), and read
// again when either file has changed on disk since. A course uses about a
// dozen skins; the budget leaves room for several courses' worth.
const TSkinFile& SharedSkinFile(const std::string& fileName) {
  constexpr std::size_t kKeptSkins = 64;
  static TFileCache<std::string, TSkinFile> skins(kKeptSkins);
  const std::string key = fileName + '\n' + ImagesFolder + '\n' + QDir::currentPath().toStdString();
  return skins.Get(key, [&](TFileStamps& files) { return ReadSkinFile(fileName, files); });
}

// The topmost exercise control that holds control: the one whose arrow keys
// walk the whole page.
TRLControl* TopmostExerciseControl(TRLControl* control) {
  while (auto* parent = qobject_cast<TRLControl*>(control->Parent())) control = parent;
  return control;
}

std::vector<QPointer<TRLControl>> ExerciseChildren(const TWinControl* container) {
  std::vector<QPointer<TRLControl>> children;
  if (!container) return children;
  children.reserve(container->ControlCount());
  for (int i = 0; i < container->ControlCount(); ++i)
    if (auto* control = qobject_cast<TRLControl*>(container->Controls(i))) children.emplace_back(control);
  return children;
}

template <typename Action>
void ForEachSurvivingChild(TWinControl* container, Action action) {
  for (const QPointer<TRLControl>& child : ExerciseChildren(container))
    if (child) action(*child);
}

template <typename Field>
int SumChildren(const TWinControl* container, Field field) {
  int sum = 0;
  for (const QPointer<TRLControl>& child : ExerciseChildren(container)) sum += (*child).*field;
  return sum;
}

}  // namespace

TRLControl::TRLControl(QObject* owner) : TCustomControl(owner) {
  SetTabStop(true);
}

void TRLControl::Paint() {
  TCanvas& canvas = Canvas();
  try {
    Paint(canvas);
    return;
  } catch (const std::exception& e) {
    if (!paintFailed_) Application->ShowException(e.what(), true);
  } catch (...) {
    if (!paintFailed_) Application->ShowException("Unknown error.", true);
  }
  paintFailed_ = true;
  canvas.Brush = TBrush{Color(), TBrushStyle::bsSolid};
  canvas.FillRect(ClientRect());
}

void TRLControl::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  if (!Skin.Empty()) PaintSkin(canvas);
}

void TRLControl::PaintBackground(TCanvas& canvas) {
  const TRLParser* root = FindRootParser(this);
  // Filled first, so parts of the control beyond the background image keep Color.
  canvas.Brush = TBrush{Color(), TBrushStyle::bsSolid};
  canvas.FillRect(ClientRect());
  if (root->Background.Empty()) return;
  // The background is in the coordinates of the window that holds the page.
  const TControl* window = root;
  while (window->Parent()) window = window->Parent();
  const TPoint origin = ClientOrigin();
  const TPoint windowOrigin = window->ClientOrigin();
  BitBlt(canvas.Bitmap(), 0, 0, Width(), Height(), root->Background, origin.X - windowOrigin.X,
         origin.Y - windowOrigin.Y);
}

bool TRLControl::PaintFollowsPosition() const {
  const auto* root = qobject_cast<const TRLParser*>(TopmostExerciseControl(const_cast<TRLControl*>(this)));
  return root && !root->Background.Empty();
}

void TRLControl::PaintSkin(TCanvas& canvas) {
  StretchNineSlice(canvas.Bitmap(), ClientRect(), Skin, MarginLeft, MarginTop, MarginRight, MarginBottom);
}

void TRLControl::ApplyLayoutPosition() {
  if (Left() != LayoutX || Top() != LayoutY) SetBounds(LayoutX, LayoutY, Width(), Height());
}

void TRLControl::SetSkin(const TBitmap& bitmap, int left, int right, int top, int bottom) {
  Skin = bitmap;
  MarginLeft = left;
  MarginRight = right;
  MarginTop = top;
  MarginBottom = bottom;
}

void TRLControl::ParseParameters(const std::string&) {}

void TRLControl::Check() {}

void TRLControl::CheckOnlyScore() {
  Score = 0;
  MaxScore = 0;
}

void TRLControl::Reset() {}

void TRLControl::LoadSkin(const std::string& fileName) {
  const TSkinFile& skin = SharedSkinFile(fileName);
  SetSkin(skin.Bitmap, skin.Margins.Left, skin.Margins.Right, skin.Margins.Top, skin.Margins.Bottom);
}

void TRLControl::KeyDown(unsigned short& key, TShiftState shift) {
  const bool backward = key == VK_LEFT || key == VK_UP;
  const bool forward = key == VK_RIGHT || key == VK_DOWN;
  if (!backward && !forward) {
    TCustomControl::KeyDown(key, shift);
    return;
  }
  if (Focused()) TopmostExerciseControl(this)->SelectNext(this, forward, true);
  key = 0;
}

TRLParser* FindRootParser(TRLControl* control) {
  if (auto* parser = qobject_cast<TRLParser*>(TopmostExerciseControl(control))) return parser;
  throw Exception("Control has non TRLParser parent.");
}

int WidestCharWidth(const TControl* control) {
  return std::max(TextWidthOf(control, "M"), TextWidthOf(control, "W"));
}

int TextHeightOf(const TControl* control, const std::string& s) {
  return TextHeight(control->Font(), s);
}

int TextWidthOf(const TControl* control, const std::string& s) {
  return TextWidth(control->Font(), s);
}

int SumMaxScore(const TWinControl* container) {
  return SumChildren(container, &TRLControl::MaxScore);
}

int SumScore(const TWinControl* container) {
  return SumChildren(container, &TRLControl::Score);
}

void CheckChildren(TWinControl* container) {
  ForEachSurvivingChild(container, [](TRLControl& child) { child.Check(); });
}

void CheckOnlyScoreChildren(TWinControl* container) {
  ForEachSurvivingChild(container, [](TRLControl& child) { child.CheckOnlyScore(); });
}

void ResetChildren(TWinControl* container) {
  ForEachSurvivingChild(container, [](TRLControl& child) { child.Reset(); });
}

void FreeChildren(TWinControl* container) {
  ForEachSurvivingChild(container, [](TRLControl& child) { delete &child; });
}
