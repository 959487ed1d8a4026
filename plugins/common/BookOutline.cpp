#include "plugins/common/BookOutline.h"

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
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
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
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
