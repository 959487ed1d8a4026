#include "plugins/common/LinkText.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "platform/Cp1251.h"

namespace {

QString WithoutControls(QString text) {
  text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
  return text;
}

std::string Lines(const std::string& command, const QString& argument) {
  return command + "\n" + QStringToCp1251(WithoutControls(argument));
}

bool IsFileReference(const QUrl& url) {
  return url.scheme().isEmpty() || url.isLocalFile() || url.scheme().size() == 1;  // "C:" is a drive
}

}  // namespace

std::string GotoLinkText(int page) {
  return "goto\n" + std::to_string(page);
}

std::optional<std::string> WebLinkText(const QString& url) {
  const QUrl parsed(WithoutControls(url).trimmed());
  // An address with nothing after its scheme ("http://", "mailto:") leads nowhere either.
  if (!parsed.isValid() || (parsed.authority().isEmpty() && parsed.path().isEmpty())) return std::nullopt;
  return Lines("web", QString::fromLatin1(parsed.toEncoded()));
}

std::string FileLinkText(const QString& documentPath, const QString& file, int page) {
  const QDir folder = QFileInfo(documentPath).absoluteDir();
  const QUrl url(file);
  const QString local = url.isLocalFile() ? url.toLocalFile() : file;
  const QString absolute = QDir::cleanPath(folder.absoluteFilePath(local));
  // Link texts are cp1251: a path it cannot spell goes relative to the
  // document, which the viewer looks beside the document first.
  const bool spelled = Cp1251ToQString(QStringToCp1251(absolute)) == absolute;
  if (page > 0)
    return Lines("open", spelled ? absolute : folder.relativeFilePath(absolute)) + "\n" +
           std::to_string(page);
  return Lines("start", folder.relativeFilePath(absolute));
}

std::optional<std::string> UriLinkText(const QString& documentPath, const QString& uri) {
  const QString cleaned = WithoutControls(uri).trimmed();
  if (cleaned.isEmpty()) return std::nullopt;
  return IsFileReference(QUrl(cleaned)) ? FileLinkText(documentPath, uri, 0) : WebLinkText(uri);
}
