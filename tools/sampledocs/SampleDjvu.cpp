#include "tools/sampledocs/SampleDjvu.h"

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "platform/StrUtils.h"
#include "tools/sampledocs/SampleText.h"

namespace {

// The resolution that the build hands to cjb2 and c44; the pages are A5.
constexpr int kDpi = 150;
constexpr int kWidth = 1480 * kDpi / 254;
constexpr int kHeight = 2100 * kDpi / 254;
constexpr int kMargin = 90;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString Quoted(const QString& text) {
  QString escaped = text;
  escaped.replace("\\", "\\\\").replace("\"", "\\\"");
  return "\"" + escaped + "\"";
}

// Draws lines of words down a page and keeps their hidden text, in DjVu's
// coordinates (pixels from the bottom-left corner).
class TPageDrawer {
 public:
  TPageDrawer() : image_(kWidth, kHeight, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
  }

  // Returns the DjVu rectangle of the line's last word.
  QRect Line(const QString& text, int pixelSize, bool bold = false) {
    QFont font("Liberation Serif");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    const QFontMetrics metrics(font);
    const int baseline = y_ + metrics.ascent();
    const int top = kHeight - (baseline + metrics.descent()),
              bottom = kHeight - (baseline - metrics.ascent());
    QString words;
    int x = kMargin, lastX = x, lastWidth = 0;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
      painter_.drawText(x, baseline, word);
      lastX = x;
      lastWidth = metrics.horizontalAdvance(word);
      words += QString("\n  (word %1 %2 %3 %4 %5)")
                   .arg(x)
                   .arg(top)
                   .arg(x + lastWidth)
                   .arg(bottom)
                   .arg(Quoted(word));
      x += metrics.horizontalAdvance(word + ' ');
    }
    text_ += QString("\n (line %1 %2 %3 %4%5)")
                 .arg(kMargin)
                 .arg(top)
                 .arg(lastX + lastWidth)
                 .arg(bottom)
                 .arg(words);
    y_ += metrics.height() * 3 / 2;
    return QRect(lastX, top, lastWidth, bottom - top);
  }

  void Block(const QColor& colour, int height) {
    painter_.fillRect(kMargin, y_, kWidth - 2 * kMargin, height, colour);
    y_ += height + 20;
  }

  QString HiddenText() const { return QString("(page 0 0 %1 %2%3)").arg(kWidth).arg(kHeight).arg(text_); }

  void Save(const QString& path, bool bitonal) {
    painter_.end();
    const QImage out = bitonal ? image_.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither) : image_;
    if (!out.save(path, bitonal ? "PBM" : "PPM")) throw Exception("Cannot write " + path.toStdString());
  }

 private:
  QImage image_;
  QPainter painter_;
  int y_ = kMargin;
  QString text_;
};

// Returns the box of the heading's last word.
QRect DrawText(TPageDrawer& page, const TSamplePage& sample) {
  const QRect heading = page.Line(Utf8(sample.Heading), 40, true);
  for (std::string_view line : sample.Lines) page.Line(Utf8(line), 32);
  return heading;
}

QString PageScript(int number, const TPageDrawer& page, const QString& links) {
  return QString("select %1\nset-txt\n%2\n.\nset-ant\n%3.\n").arg(number).arg(page.HiddenText(), links);
}

QString MapArea(const QString& url, const QString& shape, const QRect& box) {
  return QString("(maparea %1 \"\" (%2 %3 %4 %5 %6))\n")
      .arg(Quoted(url), shape)
      .arg(box.x())
      .arg(box.y())
      .arg(box.width())
      .arg(box.height());
}

// Map areas of a page turned a quarter counter-clockwise are given in the
// turned page's coordinates (its hidden text stays in the unturned ones).
QRect Turned(const QRect& box) {
  return QRect(kHeight - (box.y() + box.height()), box.x(), box.height(), box.width());
}

}  // namespace

void WriteDjvuSources(const QString& folder) {
  // Page 1: text, jumps to page 2 by number and by the page's file name, and a web link.
  TPageDrawer first;
  const QRect heading = DrawText(first, kSamplePages[0]);
  const QRect next = first.Line("Далее", 32);
  const QRect web = first.Line(Utf8(kSampleWebLink), 28);
  first.Save(folder + "/page1.pbm", true);
  // Page 2: a colour picture, text, an oval jump back and a link to the PDF sample.
  TPageDrawer second;
  second.Block(QColor(40, 90, 200), 160);
  DrawText(second, kSamplePages[1]);
  const QRect back = second.Line("Назад", 32);
  const QRect file = second.Line("sample.pdf", 32);
  second.Save(folder + "/page2.ppm", false);

  const QString script =
      PageScript(1, first,
                 MapArea("#2", "rect", next) + MapArea(Utf8(kSampleWebLink), "rect", web) +
                     MapArea("#page2.djvu", "rect", heading)) +
      PageScript(2, second, MapArea("#1", "oval", back) + MapArea("sample.pdf", "rect", file)) +
      // Page 3: page 1 again, turned to landscape, with its jump to page 2.
      PageScript(3, first, MapArea("#2", "rect", Turned(next))) + "set-rotation 1\n" +
      "select\nset-outline\n(bookmarks\n (\"Первая страница\" \"#1\")\n (\"Вторая страница\" \"#2\"\n"
      "  (\"Подраздел\" \"#2\")))\n.\nsave\n";
  QFile out(folder + "/sample.djvused");
  if (!out.open(QIODevice::WriteOnly) || out.write(script.toUtf8()) < 0)
    throw Exception("Cannot write " + out.fileName().toStdString());
}
