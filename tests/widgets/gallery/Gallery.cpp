// Renders the skinned widgets in each of their states onto one contact sheet,
// so a person can judge them as a learner would see them.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"
#include "widgets/ColorButton.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

constexpr TColor kPaper = 0xE2EFF6;

using TShot = std::pair<std::string, QImage>;

// A page of alternating bands, so scrolling shows.
void FillContent(TImageScrollBox& box, int height) {
  TPanel* content = box.ContentPanel();
  content->SetColor(clWhite);
  for (int y = 0, n = 0; y < height; y += 60, ++n) {
    auto* band = new TPanel(content);
    band->SetBevelOuter(bvNone);
    band->SetParent(content);
    band->SetColor(n % 2 ? 0xF4ECE4 : 0xFFFFFF);
    band->SetBounds(0, y, 400, 60);
  }
  box.LockScrollBar();
  box.ScrollBar()->SetScrollerPos(0);
  content->SetHeight(height);
  box.UnlockScrollBar();
  box.UpdateScrollBar();
}

std::vector<TShot> ScrollBoxShots(TForm& form) {
  auto* box = new TImageScrollBox(&form);
  box->SetParent(&form);
  box->SetBounds(10, 10, 220, 300);
  FillContent(*box, 1500);
  std::vector<TShot> shots;
  std::vector<TShot> zoomed;
  // The bar's column three times enlarged, to judge the pictures' detail.
  const auto shoot = [&](const std::string& name) {
    const QImage image = box->grab().toImage();
    shots.push_back({name, image});
    const int barWidth = box->ScrollBar()->Width();
    zoomed.push_back(
        {"x3", image.copy(image.width() - barWidth, 0, barWidth, 130).scaled(barWidth * 3, 390)});
  };
  shoot("top");
  TImageButton* down = box->ScrollBar()->DownButton();
  box->ScrollBar()->SetScrollerPos(0.5f);
  QTest::mouseMove(down, QPoint(5, 5));
  shoot("middle, down hover");
  box->ScrollBar()->SetScrollerPos(1.0f);
  QTest::mousePress(box->ScrollBar()->UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
  shoot("bottom, up pressed");
  QTest::mouseRelease(box->ScrollBar()->UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
  FillContent(*box, 200);
  shots.push_back({"content fits", box->grab().toImage()});
  delete box;
  for (auto& shot : zoomed) shots.push_back(std::move(shot));
  return shots;
}

std::vector<TShot> SpriteShots(TForm& form, const std::string& sheetFile) {
  std::vector<TShot> shots;
  if (sheetFile.empty()) return shots;
  // A soft vertical gradient as the parent's background.
  TBitmap background(200, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x)
      background.SetPixel(x, y, 0xFF000000u | ((230 - y / 4) << 16) | ((236 - y / 5) << 8) | 244u);
  auto* button = new TImageButton2(&form);
  button->SetParent(&form);
  button->LoadSheet(sheetFile);
  // The trainer's sheets hold their four frames in one row.
  button->FrameWidth = button->Sheet.Width() / 4;
  button->FrameHeight = button->Sheet.Height();
  button->SetBounds(20, 20, button->FrameWidth, button->FrameHeight);
  button->SetBackground(background);
  const char* names[] = {"normal", "hover", "pressed", "disabled"};
  for (int state = 0; state < 4; ++state) {
    button->SetState(std::uint8_t(state));
    shots.push_back({std::string("sprite ") + names[state], button->grab().toImage()});
  }
  delete button;
  return shots;
}

// An arrow on the face colour: icons are drawn as they are, background included.
TBitmap ArrowIcon(TColor face) {
  TBitmap icon(14, 14);
  icon.Canvas().Brush.Color = face;
  icon.Canvas().FillRect(Rect(0, 0, 14, 14));
  icon.Canvas().Brush.Color = 0x804020;
  icon.Canvas().Polygon({Point(3, 2), Point(11, 7), Point(3, 12)});
  return icon;
}

std::vector<TShot> ColorButtonShots(TForm& form) {
  std::vector<TShot> shots;
  auto* other = new TColorButton(&form);
  other->SetParent(&form);
  other->SetBounds(300, 300, 20, 20);
  auto* button = new TColorButton(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 150, 36);
  constexpr TColor kFace = 0xC8E6F5;
  button->SetColor(kFace);
  TFont font;
  font.Name = "Tahoma";
  font.SetSize(11);
  button->SetFont(font);
  button->SetCaption("Проверить"_cp);
  other->SetFocus();
  shots.push_back({"colour button", button->grab().toImage()});
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
  shots.push_back({"pressed (focused)", button->grab().toImage()});
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 20));
  shots.push_back({"focused, active", button->grab().toImage()});
  button->SetIcon(ArrowIcon(kFace));
  button->SetIconLeft(false);
  other->SetFocus();
  shots.push_back({"icon right", button->grab().toImage()});
  button->SetIconLeft(true);
  shots.push_back({"icon left", button->grab().toImage()});
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
  shots.push_back({"icon, pressed", button->grab().toImage()});
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 20));
  other->SetFocus();
  button->SetEnabled(false);
  shots.push_back({"icon, disabled", button->grab().toImage()});
  delete button;
  delete other;
  return shots;
}

// Lays the shots out in rows, each with its caption below.
QImage ContactSheet(const std::vector<TShot>& shots) {
  constexpr int kWidth = 1000, kGap = 16, kCaption = 18;
  int x = kGap, y = kGap, rowHeight = 0;
  std::vector<QPoint> places;
  for (const auto& [name, image] : shots) {
    if (x + image.width() > kWidth - kGap) {
      x = kGap;
      y += rowHeight + kCaption + kGap;
      rowHeight = 0;
    }
    places.push_back(QPoint(x, y));
    x += std::max(image.width(), 120) + kGap;
    rowHeight = std::max(rowHeight, image.height());
  }
  QImage sheet(kWidth, y + rowHeight + kCaption + kGap, QImage::Format_RGB32);
  sheet.fill(QColor(200, 200, 200));
  QPainter painter(&sheet);
  for (std::size_t i = 0; i < shots.size(); ++i) {
    const QImage& image = shots[i].second;
    painter.drawImage(places[i], image);
    painter.drawText(places[i].x(), places[i].y() + image.height() + kCaption - 4,
                     QString::fromStdString(shots[i].first));
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  InitFonts();
  if (argc < 3) {
    std::fprintf(stderr, "usage: widgets_gallery <imgs folder> <output.png> [sprite sheet]\n");
    return 2;
  }
  try {
    const std::string sheet = argc > 3 ? QFileInfo(argv[3]).absoluteFilePath().toStdString() : "";
    // The scroll box opens its skin from ".\imgs\" under the current folder.
    QDir::setCurrent(QDir(QString::fromLocal8Bit(argv[1])).absoluteFilePath(".."));
    TForm form;
    form.SetBounds(0, 0, 700, 500);
    form.SetColor(kPaper);
    form.Show();
    std::vector<TShot> shots = ScrollBoxShots(form);
    for (auto& shot : SpriteShots(form, sheet)) shots.push_back(std::move(shot));
    for (auto& shot : ColorButtonShots(form)) shots.push_back(std::move(shot));
    if (!ContactSheet(shots).save(QString::fromLocal8Bit(argv[2])))
      throw Exception("Cannot write the picture");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
