#include "tools/sampledocs/SamplePdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <cmath>
#include <string>
#include <vector>

#include "platform/StrUtils.h"
#include "tools/sampledocs/SampleText.h"

namespace {

QString Html(const TSamplePage& page, bool withLink) {
  QString html = "<h2>" + QString::fromUtf8(page.Heading.data(), page.Heading.size()) + "</h2><p>";
  for (std::string_view line : page.Lines) html += QString::fromUtf8(line.data(), line.size()) + "<br>";
  html += "</p>";
  if (withLink) {
    const QString link = QString::fromUtf8(kSampleWebLink.data(), kSampleWebLink.size());
    html += "<p>Правила: <a href=\"" + link + "\">" + link + "</a></p>";
  }
  return html;
}

// The objects of a PDF file in order (object n is entry n - 1), and the file
// they make with its cross-reference table.
class TPdfFile {
 public:
  void Add(const std::string& body) { objects_.push_back(body); }
  void AddStream(const std::string& data) {
    Add("<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
  }

  void Save(const QString& path, const std::string& trailer) const {
    std::string file = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      offsets.push_back(file.size());
      file += std::to_string(i + 1) + " 0 obj\n" + objects_[i] + "\nendobj\n";
    }
    const std::size_t xref = file.size();
    file += "xref\n0 " + std::to_string(objects_.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
      char entry[32];
      std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
      file += entry;
    }
    file += "trailer\n<< /Size " + std::to_string(objects_.size() + 1) + " " + trailer + " >>\nstartxref\n" +
            std::to_string(xref) + "\n%%EOF\n";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.data(), qint64(file.size())) != qint64(file.size()))
      throw Exception("Cannot write " + path.toStdString());
  }

 private:
  std::vector<std::string> objects_;
};

// links.pdf keeps its text in a standard font, without a font program: the
// letters are Windows-1251 bytes, named by a Differences encoding, and their
// widths are those of the face that stands in for Helvetica.
char Cp1251Byte(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80) return char(u);
  if (u >= 0x0410 && u <= 0x044F) return char(0xC0 + (u - 0x0410));
  if (u == 0x0401) return char(0xA8);
  if (u == 0x0451) return char(0xB8);
  throw Exception("No Windows-1251 letter for U+" + QString::number(u, 16).toStdString());
}

QChar Cp1251Letter(int byte) {
  if (byte >= 0xC0) return QChar(char16_t(0x0410 + byte - 0xC0));
  return QChar(char16_t(byte == 0xA8 ? 0x0401 : 0x0451));
}

// The standard name of a Cyrillic letter's glyph, as the faces that stand in
// for Helvetica name it: afii10017 is А, and Ё comes between Е and Ж.
std::string GlyphName(QChar letter) {
  const int u = letter.unicode();
  if (u == 0x0401) return "afii10023";
  if (u == 0x0451) return "afii10071";
  const bool lower = u >= 0x0430;
  const int index = u - (lower ? 0x0430 : 0x0410);
  return "afii" + std::to_string((lower ? 10065 : 10017) + index + (index >= 6 ? 1 : 0));
}

std::string Cp1251Text(const char* utf8) {
  std::string bytes;
  for (QChar c : QString::fromUtf8(utf8)) bytes += Cp1251Byte(c);
  return bytes;
}

// A text string of the outline or the document information, in UTF-16.
std::string PdfUnicode(const char* utf8) {
  std::string hex = "<FEFF";
  for (QChar c : QString::fromUtf8(utf8))
    hex += QString("%1").arg(c.unicode(), 4, 16, QChar('0')).toUpper().toStdString();
  return hex + ">";
}

std::string CyrillicHelvetica() {
  std::vector<int> codes;
  for (int code = 0xC0; code <= 0xFF; ++code) codes.push_back(code);
  codes.insert(codes.begin(), {0xA8, 0xB8});
  std::string differences;
  for (int code : codes) differences += std::to_string(code) + " /" + GlyphName(Cp1251Letter(code)) + " ";
  QFont face("Liberation Sans");
  face.setPixelSize(1000);
  const QFontMetricsF metrics(face);
  std::string widths;
  for (int code = 32; code <= 255; ++code) {
    const bool letter = code >= 0xC0 || code == 0xA8 || code == 0xB8;
    const QChar c = letter ? Cp1251Letter(code) : QChar(char16_t(code < 0x7F ? code : 0x20));
    widths += std::to_string(std::lround(metrics.horizontalAdvance(c))) + " ";
  }
  return "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /FirstChar 32 /LastChar 255 /Widths [" +
         widths + "] /Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [" +
         differences + "] >> >>";
}

std::string Text(int x, int y, const char* utf8) {
  return "BT /F1 14 Tf " + std::to_string(x) + " " + std::to_string(y) + " Td (" + Cp1251Text(utf8) +
         ") Tj ET\n";
}

std::string LinkAnnotation(int x, int y, const std::string& action) {
  return "<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect [" + std::to_string(x - 2) + " " +
         std::to_string(y - 4) + " " + std::to_string(x + 200) + " " + std::to_string(y + 14) + "] /A " +
         action + " >>";
}

}  // namespace

void WriteSamplePdf(const QString& path) {
  QPdfWriter writer(path);
  writer.setPageSize(QPageSize(QPageSize::A5));
  writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  writer.setTitle("Образец документа");
  writer.setCreator("Folioscope");
  QPainter painter(&writer);
  if (!painter.isActive()) throw Exception("Cannot write " + path.toStdString());
  for (std::size_t i = 0; i < kSamplePages.size(); ++i) {
    if (i > 0) writer.newPage();
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(QFont("Liberation Serif", 14));
    document.setTextWidth(painter.viewport().width());
    document.setHtml(Html(kSamplePages[i], i == 0));
    document.drawContents(&painter);
  }
}

// Two pages of Russian text in a standard font (no font program needed).
// Page 1: a jump to page 2, a web link, a jump into page 2 of sample.pdf and
// a file to start. Page 2: a jump back. Outline: the start, the second page >
// its details.
void WriteLinksPdf(const QString& path) {
  const std::string web(kSampleWebLink);
  TPdfFile pdf;
  pdf.Add("<< /Type /Catalog /Pages 2 0 R /Outlines 9 0 R /PageMode /UseOutlines >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>");
  const std::string page =
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 420 595] /Resources << /Font << /F1 5 0 R >> >> ";
  pdf.Add(page + "/Contents 6 0 R /Annots [" + LinkAnnotation(60, 500, "<< /S /GoTo /D [4 0 R /Fit] >>") +
          LinkAnnotation(60, 460, "<< /S /URI /URI (" + web + ") >>") +
          LinkAnnotation(60, 420, "<< /S /GoToR /F (sample.pdf) /D [1 /Fit] >>") +
          LinkAnnotation(60, 380, "<< /S /Launch /F (notes.txt) >>") + "] >>");
  pdf.Add(page + "/Contents 7 0 R /Annots [" + LinkAnnotation(60, 500, "<< /S /GoTo /D [3 0 R /Fit] >>") +
          "] >>");
  pdf.Add(CyrillicHelvetica());
  pdf.AddStream(Text(60, 500, "На страницу 2") + Text(60, 460, "Правила в интернете") +
                Text(60, 420, "Вторая страница образца") + Text(60, 380, "Заметки"));
  pdf.AddStream(Text(60, 500, "Назад, на страницу 1") + Text(60, 300, "Подробности"));
  pdf.Add("<< /Title " + PdfUnicode("Образец ссылок") + " /Author (Folioscope) >>");
  pdf.Add("<< /Type /Outlines /First 10 0 R /Last 11 0 R /Count 3 >>");
  pdf.Add("<< /Title " + PdfUnicode("Начало") + " /Parent 9 0 R /Next 11 0 R /Dest [3 0 R /Fit] >>");
  pdf.Add("<< /Title " + PdfUnicode("Вторая страница") +
          " /Parent 9 0 R /Prev 10 0 R /First 12 0 R /Last 12 0 R /Count 1 /Dest [4 0 R /Fit] >>");
  pdf.Add("<< /Title " + PdfUnicode("Подробности") + " /Parent 11 0 R /Dest [4 0 R /XYZ 0 320 0] >>");
  pdf.Save(path, "/Root 1 0 R /Info 8 0 R");
}
