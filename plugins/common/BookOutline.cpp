#include "plugins/common/BookOutline.h"

#include <QString>

#include "platform/Cp1251.h"

namespace {

// The book description is cp1251 text; a character cp1251 cannot spell goes
// in as a character reference, so titles in any script and names of files of
// any name reach the viewer whole.
std::string Escaped(const std::string& utf8) {
  std::string out;
  for (const char32_t c : QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toUcs4()) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // XML 1.0 allows no control characters but tab, CR and LF.
        if (c < 0x20) break;
        if (c < 0x80) {
          out += char(c);
        } else if (c <= 0xFFFF && UnicodeToCp1251Char(char16_t(c)) != '?') {
          out += UnicodeToCp1251Char(char16_t(c));
        } else {
          out += "&#x" + QString::number(uint(c), 16).toUpper().toStdString() + ";";
        }
    }
  }
  return out;
}

class TXmlWriter {
 public:
  explicit TXmlWriter(int pageCount) : pageCount_(pageCount) {}

  void Pages(int begin, const std::string& name) {
    if (begin < 1 || begin > pageCount_) return;
    xml_ += "<PAGES BEG=\"" + std::to_string(begin) + "\" NAME=\"" + Escaped(name) + "\"";
    lastPagesEnd_ = xml_.size();
    xml_ += "/>";
  }

  void Items(const std::vector<TOutlineItem>& items) {
    for (const TOutlineItem& item : items) {
      if (item.Children.empty()) {
        Pages(item.Page, item.Title);
        continue;
      }
      xml_ += "<PAGEFOLDER NAME=\"" + Escaped(item.Title) + "\">";
      Pages(item.Page, item.Title);
      Items(item.Children);
      xml_ += "</PAGEFOLDER>";
    }
  }

  void Append(const std::string& text) { xml_ += text; }

  // The last range has no range after it to end it.
  std::string Finish() {
    if (lastPagesEnd_ == 0) return xml_;
    return xml_.insert(lastPagesEnd_, " END=\"" + std::to_string(pageCount_) + "\"");
  }

  bool HasPages() const { return lastPagesEnd_ != 0; }

 private:
  int pageCount_;
  std::string xml_;
  std::size_t lastPagesEnd_ = 0;
};

}  // namespace

std::string BookDescriptionXml(const TBookOutline& outline) {
  TXmlWriter writer(outline.PageCount);
  writer.Append("<BOOKFOLDER VERSION=\"1\"><BOOK NAME=\"" + Escaped(outline.Title) + "\"");
  if (!outline.Author.empty()) writer.Append(" AUTHOR=\"" + Escaped(outline.Author) + "\"");
  writer.Append(">");
  writer.Items(outline.Items);
  if (!writer.HasPages()) writer.Pages(1, outline.Title);
  writer.Append("</BOOK></BOOKFOLDER>");
  return writer.Finish();
}
