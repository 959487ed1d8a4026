#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QRegularExpression>

#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

namespace {

TShellHandler& Handler() {
  static TShellHandler handler;
  return handler;
}

// "scheme:..." with a scheme of two letters or more, so "C:\x" stays a path.
bool HasScheme(const std::string& target) {
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  return scheme.match(QString::fromLatin1(target.c_str())).hasMatch();
}

bool IsWebScheme(const QString& scheme) {
  for (const char* allowed : {"http", "https", "ftp", "mailto"}) {
    if (scheme.compare(QLatin1String(allowed), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

}  // namespace

QUrl ShellUrl(const std::string& target, const std::string& folder) {
  if (HasScheme(target)) {
    const QUrl url(Cp1251ToQString(target));
    if (url.isValid() && IsWebScheme(url.scheme())) return url;
    throw Exception(Format("Адрес %s не может быть открыт"_cp.c_str(), target));
  }
  const std::string base = folder.empty() ? "" : IncludeTrailingPathDelimiter(NormalizePath(folder));
  const std::string path = NormalizePath(target);
  const std::string joined = !path.empty() && path[0] == '/' ? path : base + path;
  const QString native = QString::fromStdString(NativePath(joined));
  return QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(native)));
}

bool ShellOpen(const std::string& target, const std::string& folder) {
  const QUrl url = ShellUrl(target, folder);
  if (Handler()) return Handler()(url);
  return QDesktopServices::openUrl(url);
}

void SetShellHandler(TShellHandler handler) {
  Handler() = std::move(handler);
}
