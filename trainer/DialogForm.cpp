#include "trainer/DialogForm.h"

#include <QEvent>
#include <QPainter>
#include <QWindow>

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"
#include "platform/Timer.h"
#include "trainer/FadeForm.h"
#include "widgets/AlphaBitmap.h"

namespace {

constexpr int kDialogWidth = 183, kDialogHeight = 139;
const char* const kFaceFile = ".\\imgs\\MsgFace.bmp";
const char* const kMaskFile = ".\\imgs\\MsgBox.png";

TFont DialogFont() {
  TFont font;
  font.Name = "Times New Roman";
  font.SetHeight(-21);
  font.Color = clRed;
  return font;
}

TLabel* MakeCentredLabel(TDialogForm* form, const TRect& bounds, const std::string& caption) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetAlignment(taCenter);
  label->SetWordWrap(true);
  label->SetTransparent(true);
  label->SetFont(DialogFont());
  label->SetBoundsRect(bounds);
  label->SetCaption(caption);
  return label;
}

int MaskAlpha(const TBitmap* mask, int x, int y) {
  if (!mask) return 255;
  if (x >= mask->Width() || y >= mask->Height()) return 0;
  return int(mask->Pixel(x, y) >> 24);
}

}  // namespace

TBitmap ComposeLayeredFace(const TBitmap& face, const TBitmap* mask) {
  TBitmap result(face);
  for (int y = 0; y < result.Height(); ++y) {
    std::uint32_t* row = result.ScanLine(y);
    for (int x = 0; x < result.Width(); ++x) {
      const int a = MaskAlpha(mask, x, y);
      row[x] = PremultiplyPixel(row[x], a, a);
    }
  }
  return result;
}

TDialogForm::TDialogForm(QObject* owner) : TForm(owner) {
  // Hidden first: a new border style shows a form whose Visible flag is set.
  Hide();
  SetBorderStyle(bsNone);
  setAttribute(Qt::WA_TranslucentBackground, true);
  SetCaption("DialogForm");
  SetBounds(0, 0, kDialogWidth, kDialogHeight);
  PlaceOverMainForm();
  CreateControls();
  LoadMask();
}

TDialogForm::~TDialogForm() = default;

void TDialogForm::CreateControls() {
  Image1 = new TImage(this);
  Image1->SetParent(this);
  Image1->SetAlign(alClient);
  // Without its face the dialog shows its texts on its plain colour.
  if (FileExists(kFaceFile)) Image1->Picture().LoadFromFile(kFaceFile);
  lText = MakeCentredLabel(this, Bounds(7, 7, 171, 74), "Вы совершили n ошибок"_cp);
  // 24 rows, not 19: the font's cell is 24 high and would lose the descender of "р".
  Label1 = MakeCentredLabel(this, Bounds(8, 112, 167, 24), "Закрыть"_cp);
  Label1->SetCursor(Qt::PointingHandCursor);
  Label1->OnClick = [this](TObject*) { Close(); };
  for (TControl* handle : {static_cast<TControl*>(Image1), static_cast<TControl*>(lText)}) {
    handle->OnMouseDown = [this](TObject* sender, TMouseButton, TShiftState, int x, int y) {
      Image1MouseDown(sender, x, y);
    };
    handle->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) {
      Image1MouseMove(sender, shift, x, y);
    };
    handle->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { dragging_ = false; };
  }
  // The children are seen only through the composed face.
  for (TControl* child :
       {static_cast<TControl*>(Image1), static_cast<TControl*>(lText), static_cast<TControl*>(Label1)})
    child->installEventFilter(this);
  Timer1 = new TTimer(this);
  Timer1->SetEnabled(false);
  Timer1->SetInterval(1);
  Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
}

void TDialogForm::LoadMask() {
  try {
    MsgBoxImage = LoadAlphaBitmap(kMaskFile, true);
  } catch (const std::exception& e) {
    Application->HandleException(e);
  }
}

void TDialogForm::PlaceOverMainForm() {
  TRect area;
  if (Application->MainForm) {
    area = Application->MainForm->BoundsRect();
  } else {
    const TScreenMetrics screen = ScreenMetrics();
    area = Bounds(0, 0, screen.Width, screen.Height);
  }
  SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(),
            Height());
}

void TDialogForm::SetText(const std::string& text) {
  lText->SetCaption(text);
  lText->SetLeft((Width() - lText->Width()) / 2);
  Timer1->SetEnabled(true);
}

TBitmap TDialogForm::PaintFace() {
  TBitmap face(Width(), Height());
  composing_ = true;
  struct TEndComposing {
    bool& flag;
    ~TEndComposing() { flag = false; }
  } endComposing{composing_};
  render(&face.Image(), QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  return face;
}

void TDialogForm::Timer1Timer(TObject*) {
  Timer1->SetEnabled(false);
  if (!isVisible()) return;
  UpdateLayered(ComposeLayeredFace(PaintFace(), MsgBoxImage.get()));
}

void TDialogForm::UpdateLayered(const TBitmap& bitmap) {
  if (bitmap.Width() != Width() || bitmap.Height() != Height())
    throw Exception(Format("The dialog's picture is %d x %d pixels, the dialog %d x %d.", bitmap.Width(),
                           bitmap.Height(), Width(), Height()));
  layered_ = bitmap;
  if (!isVisible()) Show();
  update();
}

void TDialogForm::DoShow() {
  TForm::DoShow();
  Timer1Timer(this);
}

void TDialogForm::paintEvent(QPaintEvent* e) {
  if (composing_) {
    TForm::paintEvent(e);
    return;
  }
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (backdrop_ && backdrop_->CoversSnapshot()) {
    painter.drawPixmap(
        0, 0, backdrop_->grab(QRect(geometry().topLeft() - backdrop_->geometry().topLeft(), size())));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  } else if (layered_.Empty()) {
    painter.fillRect(rect(), Qt::transparent);
  }
  if (layered_.Empty()) return;
  // Our words are premultiplied B,G,R,A: the layout of ARGB32_Premultiplied.
  const QImage& pixels = layered_.Image();
  painter.drawImage(0, 0,
                    QImage(pixels.constBits(), pixels.width(), pixels.height(), pixels.bytesPerLine(),
                           QImage::Format_ARGB32_Premultiplied));
}

void TDialogForm::SetBackdrop(TFadeForm* overlay) {
  backdrop_ = overlay;
  if (overlay)
    overlay->OnFade = [self = QPointer<TDialogForm>(this)] {
      if (self) self->update();
    };
  update();
}

void TDialogForm::moveEvent(QMoveEvent* e) {
  TForm::moveEvent(e);
  if (backdrop_) update();
}

bool TDialogForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Paint && !composing_) return true;
  return TForm::eventFilter(watched, e);
}

void TDialogForm::Image1MouseDown(TObject* sender, int x, int y) {
  // A window manager moves the window itself; without one we follow the mouse.
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  const auto* handle = static_cast<TControl*>(sender);
  dragging_ = true;
  dragAnchor_ = Point(handle->Left() + x, handle->Top() + y);
}

void TDialogForm::Image1MouseMove(TObject* sender, TShiftState, int x, int y) {
  if (!dragging_) return;
  const auto* handle = static_cast<TControl*>(sender);
  const int dx = handle->Left() + x - dragAnchor_.X;
  const int dy = handle->Top() + y - dragAnchor_.Y;
  if (dx != 0 || dy != 0) SetBounds(Left() + dx, Top() + dy, Width(), Height());
}

void ShowMistakes(const std::string& text) {
  const auto overlay = std::make_unique<TFadeForm>();
  overlay->Show();
  const auto dialog = std::make_unique<TDialogForm>(nullptr);
  dialog->SetPopupParent(overlay.get());
  dialog->SetBackdrop(overlay.get());
  dialog->SetText(text);
  dialog->ShowModal();
  // The keys go on to the control that had them, whatever the window manager activates next.
  if (Application->MainForm) Application->MainForm->activateWindow();
}
