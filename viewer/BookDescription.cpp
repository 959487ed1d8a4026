#include "viewer/BookDescription.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

// Far beyond any real book. Qt's DOM crashes or stalls on nesting some
// hundred thousand levels deep, so such a text is refused before the DOM sees it.
constexpr int kMaxDepth = 256;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr const char* kVersionError = "Version of XML is not supported";

bool DeclaresUtf8(std::string_view text) {
  static const QRegularExpression declaration(R"(^\s*<\?xml[^>]*?\bencoding\s*=\s*["']\s*utf-?8\s*["'])",
                                              QRegularExpression::CaseInsensitiveOption);
  const auto head = text.substr(0, std::min<std::size_t>(text.size(), 200));
  return declaration.match(QString::fromLatin1(head.data(), qsizetype(head.size()))).hasMatch();
}

// Plug-ins hand over cp1251; a text that says it is UTF-8 (by its declaration or
// a byte-order mark) and really is, is taken as UTF-8 so its names are not garbled.
QString DecodeText(std::string_view text) {
  const bool bom = text.starts_with(kUtf8Bom);
  if (bom) text.remove_prefix(kUtf8Bom.size());
  if (bom || DeclaresUtf8(text)) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    if (!utf8.hasError()) return decoded;
  }
  return Cp1251ToQString(std::string(text));
}

void CheckNestingDepth(const QString& xml) {
  QXmlStreamReader reader(xml);
  int depth = 0;
  // Syntax errors end the loop early; the DOM reports them with their position.
  while (!reader.atEnd()) {
    const auto token = reader.readNext();
    if (token == QXmlStreamReader::EndElement) --depth;
    if (token == QXmlStreamReader::StartElement && ++depth > kMaxDepth)
      throw Exception(Format("The book description is nested more than %d levels deep", kMaxDepth));
  }
}

QDomDocument ParseDocument(const QString& xml) {
  QDomDocument document;
  QString message;
  int line = 0;
  int column = 0;
  if (!document.setContent(xml, &message, &line, &column))
    throw Exception(Format("The book description is not valid XML: %s (line %d, column %d)",
                           QStringToCp1251(message), line, column));
  return document;
}

int IntAttribute(const QDomElement& element, const char* name) {
  return TocStrToInt(QStringToCp1251(element.attribute(name)));
}

// Walks the DOM in document order; LastPages chains every range to the one
// before it across folder boundaries.
class TTocReader {
 public:
  // nullptr for an element of another name: it is skipped with its subtree.
  std::unique_ptr<TTocNode> Read(const QDomElement& element) {
    auto node = CreateNode(element);
    if (!node) return nullptr;
    node->Tag = QStringToCp1251(element.tagName());
    node->Name = QStringToCp1251(element.attribute("NAME"));
    for (auto child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
      auto childNode = Read(child);
      if (!childNode) continue;
      // A range is chained once its own subtree has been read, so ranges
      // nested in it come first.
      if (auto* pages = dynamic_cast<TPages*>(childNode.get())) ChainTo(*pages);
      childNode->Parent = node.get();
      node->Children.push_back(std::move(childNode));
    }
    return node;
  }

 private:
  TPages* LastPages = nullptr;

  std::unique_ptr<TTocNode> CreateNode(const QDomElement& element) {
    const QString tag = element.tagName();
    if (tag == "BOOKFOLDER") return CreateBookFolder(element);
    if (tag == "BOOK") return CreateBook(element);
    if (tag == "PAGEFOLDER") return std::make_unique<TPageFolder>();
    if (tag == "PAGES") return CreatePages(element);
    return nullptr;
  }

  static std::unique_ptr<TTocNode> CreateBookFolder(const QDomElement& element) {
    auto folder = std::make_unique<TBookFolder>();
    if (!element.hasAttribute("VERSION")) throw Exception(kVersionError);
    folder->Version = IntAttribute(element, "VERSION");
    if (folder->Version > 1) throw Exception(kVersionError);
    return folder;
  }

  static std::unique_ptr<TTocNode> CreateBook(const QDomElement& element) {
    auto book = std::make_unique<TBook>();
    book->Author = QStringToCp1251(element.attribute("AUTHOR"));
    return book;
  }

  static std::unique_ptr<TTocNode> CreatePages(const QDomElement& element) {
    auto pages = std::make_unique<TPages>();
    pages->Beg = IntAttribute(element, "BEG");
    pages->End = element.attribute("END").isEmpty() ? pages->Beg : IntAttribute(element, "END");
    pages->Starting = IntAttribute(element, "STARTING");
    return pages;
  }

  void ChainTo(TPages& next) {
    TPages* previous = std::exchange(LastPages, &next);
    if (!previous || previous->Beg >= next.Beg || previous->End != previous->Beg) return;
    previous->End = next.Starting == 0 ? next.Beg - 1 : next.Beg;
  }
};

std::unique_ptr<TTocNode> ReadDescription(std::string_view text) {
  const QString xml = DecodeText(text);
  CheckNestingDepth(xml);
  const QDomDocument document = ParseDocument(xml);
  auto root = TTocReader().Read(document.documentElement());
  if (!root)
    throw Exception("The book description does not start with a book folder, book, page folder or pages");
  return root;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int DigitValue(char c, int base) {
  const int digit = HexDigit(c);
  return digit < base ? digit : -1;
}

}  // namespace

TTOC::TTOC(const char* text) : TTOC(text ? std::string_view(text) : std::string_view()) {}

TTOC::TTOC(std::string_view text) {
  try {
    Root_ = ReadDescription(text);
  } catch (const std::exception& e) {
    Error_ = e.what();
  }
}

int TocStrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int base = 10;
  const auto rest = text.substr(i);
  if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
    base = 16;
    i += 1;
  } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
    base = 16;
    i += 2;
  }
  // Saturate at 2^31 while reading, so the magnitude never overflows.
  constexpr std::int64_t limit = std::int64_t(std::numeric_limits<int>::max()) + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) break;
    magnitude = std::min(magnitude * base + digit, limit);
  }
  // A number cut short keeps no sign: "-2.5" reads 2.
  const bool cutShort = i < text.size();
  if (negative && !cutShort) return int(-magnitude);
  return int(std::min<std::int64_t>(magnitude, std::numeric_limits<int>::max()));
}
