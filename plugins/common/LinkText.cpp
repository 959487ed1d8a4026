#include "plugins/common/LinkText.h"

#include <QByteArray>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/Cp1251.h"

namespace {

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

QString WithoutControls(QString text) {
  text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
  return text;
}

std::vector<std::string> Parts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t from, std::string out) {
  for (std::size_t i = from; i < parts.size(); ++i)
    out += (out.empty() || out.back() == '/' ? "" : "/") + parts[i];
  return out;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The cp1251 spelling of a byte name, and whether it spells it exactly.
std::string Ansi(const std::string& native, bool* exact = nullptr) {
  const std::string ansi = QStringToCp1251(QString::fromUtf8(native.data(), qsizetype(native.size())));
  if (exact) *exact = Cp1251ToUtf8(ansi) == native;
  return ansi;
}

// "scheme:" of two letters or more; a drive letter ("C:") is no scheme.
std::string SchemeOf(const std::string& uri) {
  const std::size_t colon = uri.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(uri[0]))) return "";
  for (std::size_t i = 1; i < colon; ++i) {
    const char c = uri[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '.' && c != '-') return "";
  }
  return QString::fromLatin1(uri.substr(0, colon)).toLower().toStdString();
}

// The bytes a file: URL names; nullopt for a file on another host.
std::optional<std::string> FileUrlPath(const std::string& uri) {
  std::string rest = uri.substr(uri.find(':') + 1);
  rest = rest.substr(0, rest.find_first_of("?#"));
  if (rest.starts_with("//")) {
    const std::size_t slash = rest.find('/', 2);
    const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    if (!host.empty() && QString::fromStdString(host).compare("localhost", Qt::CaseInsensitive) != 0)
      return std::nullopt;
    rest = slash == std::string::npos ? "/" : rest.substr(slash);
  }
  return QByteArray::fromPercentEncoding(QByteArray::fromStdString(rest)).toStdString();
}

}  // namespace

std::string CleanPath(const std::string& path) {
  const std::string absolute =
      path.starts_with('/') ? path : std::filesystem::current_path().native() + "/" + path;
  std::vector<std::string> kept;
  for (const std::string& part : Parts(absolute)) {
    if (part == ".") continue;
    if (part != "..") {
      kept.push_back(part);
    } else if (!kept.empty()) {
      kept.pop_back();
    }
  }
  return Joined(kept, 0, "/");
}

std::string RelativePath(const std::string& folder, const std::string& path) {
  const std::vector<std::string> from = Parts(folder), to = Parts(path);
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  std::string up;
  for (std::size_t i = common; i < from.size(); ++i) up += "../";
  return Joined(to, common, up);
}

TLinkText GotoLinkText(int page) {
  const std::string text = "goto\n" + std::to_string(page);
  return {text, text};
}

std::optional<TLinkText> WebLinkText(const QString& url) {
  const QUrl parsed(WithoutControls(url).trimmed());
  // An address with nothing after its scheme ("http://", "mailto:") leads nowhere either.
  if (!parsed.isValid() || (parsed.authority().isEmpty() && parsed.path().isEmpty())) return std::nullopt;
  const std::string text = "web\n" + parsed.toEncoded().toStdString();
  return TLinkText{text, text};
}

std::optional<TLinkText> FileLinkText(const std::string& documentPath, const std::string& file, int page) {
  if (file.empty() || std::any_of(file.begin(), file.end(), IsControl)) return std::nullopt;
  const std::string folder = CleanPath(FolderOf(documentPath));
  const std::string absolute = CleanPath(file.starts_with('/') ? file : folder + "/" + file);
  const std::string relative = RelativePath(folder, absolute);
  if (page <= 0) return TLinkText{"start\n" + Ansi(relative), "start\n" + relative};
  // cp1251 cannot spell every folder: such a path goes relative to the
  // document, which the viewer looks beside the document first.
  bool spelled = false;
  const std::string ansi = Ansi(absolute, &spelled);
  const std::string number = "\n" + std::to_string(page);
  return TLinkText{"open\n" + (spelled ? ansi : Ansi(relative)) + number, "open\n" + absolute + number};
}

std::optional<TLinkText> UriLinkText(const std::string& documentPath, const std::string& uri) {
  const QString cleaned = WithoutControls(QString::fromUtf8(uri.data(), qsizetype(uri.size()))).trimmed();
  if (cleaned.isEmpty()) return std::nullopt;
  const std::string scheme = SchemeOf(uri);
  if (scheme.empty()) return FileLinkText(documentPath, uri, 0);
  if (scheme != "file") return WebLinkText(cleaned);
  const std::optional<std::string> path = FileUrlPath(uri);
  if (!path) return std::nullopt;
  return FileLinkText(documentPath, *path, 0);
}
