#include "platform/Shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QUrlQuery>
#include <filesystem>

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

// A mail address keeps the fields of a message; parameters such as "attach="
// would have the mail program attach a file of the reader's to it.
QUrl WithoutAttachments(QUrl url) {
  if (url.scheme().compare("mailto", Qt::CaseInsensitive) != 0 || !url.hasQuery()) return url;
  QUrlQuery kept;
  for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyEncoded)) {
    for (const char* field : {"to", "cc", "bcc", "subject", "body", "in-reply-to"}) {
      if (key.compare(QLatin1String(field), Qt::CaseInsensitive) == 0) kept.addQueryItem(key, value);
    }
  }
  url.setQuery(kept);
  if (kept.isEmpty()) url.setQuery(QString());
  return url;
}

// Types the desktop installs or runs rather than shows.
bool IsRunnableType(const QMimeType& type) {
  for (const char* runnable : {"application/x-executable",
                               "application/x-sharedlib",
                               "application/x-pie-executable",
                               "application/x-shellscript",
                               "application/x-desktop",
                               "application/x-ms-dos-executable",
                               "application/x-msdownload",
                               "application/vnd.microsoft.portable-executable",
                               "application/x-msi",
                               "application/x-ms-shortcut",
                               "application/x-bat",
                               "application/x-java-archive",
                               "application/x-java-jnlp-file",
                               "application/vnd.appimage",
                               "application/x-iso9660-appimage",
                               "application/vnd.flatpak",
                               "application/vnd.flatpak.ref",
                               "application/vnd.flatpak.repo",
                               "application/vnd.debian.binary-package",
                               "application/x-rpm",
                               "application/x-redhat-package-manager"}) {
    if (type.inherits(QLatin1String(runnable))) return true;
  }
  return false;
}

struct TOpenFile {
  int Fd;
  ~TOpenFile() {
    if (Fd >= 0) ::close(Fd);
  }
};

// What the desktop would run in the file at path, in words for the reader
// (cp1251); "" for a file it shows.
std::string RunnableKind(const std::string& path) {
  const TOpenFile file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  struct stat st {};
  if (file.Fd < 0 || ::fstat(file.Fd, &st) != 0) return "";
  if (!S_ISREG(st.st_mode)) return "не файл, а устройство или канал"_cp;
  if (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) return "программа (файл с правом на запуск)"_cp;
  char head[512];
  const ssize_t got = ::read(file.Fd, head, sizeof head);
  const QByteArray data(head, int(std::max<ssize_t>(got, 0)));
  if (data.startsWith("\x7F"
                      "ELF") ||
      data.startsWith("MZ"))
    return "программа"_cp;
  if (data.startsWith("#!")) return "сценарий, то есть программа"_cp;
  const QMimeType type = QMimeDatabase().mimeTypeForFileNameAndData(QFile::decodeName(path.c_str()), data);
  if (QString::fromStdString(path).endsWith(".desktop", Qt::CaseInsensitive) ||
      data.startsWith("[Desktop Entry]") || type.inherits("application/x-desktop"))
    return "ярлык запуска программы"_cp;
  if (IsRunnableType(type))
    return "файл, который рабочий стол запускает или устанавливает, а не показывает"_cp;
  return "";
}

std::string AbsolutePath(const std::string& path) {
  return path.starts_with('/') ? path : std::filesystem::current_path().native() + "/" + path;
}

bool Hand(const QUrl& url) {
  if (Handler()) return Handler()(url);
  return QDesktopServices::openUrl(url);
}

}  // namespace

QUrl ShellUrl(const std::string& target, const std::string& folder) {
  if (HasScheme(target)) {
    const QUrl url(Cp1251ToQString(target));
    if (url.isValid() && IsWebScheme(url.scheme())) return WithoutAttachments(url);
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
  if (!url.isLocalFile()) return Hand(url);
  return ShellOpenFile(url.toLocalFile().toStdString());
}

bool ShellOpenFile(const std::string& path) {
  const std::string absolute = AbsolutePath(path);
  if (const std::string kind = RunnableKind(absolute); !kind.empty())
    throw Exception(
        Format("Ссылка не открыта: файл %s - %s. Ссылки в документе не запускают программ."_cp.c_str(),
               Utf8ToCp1251(absolute), kind));
  // Built from the bytes, so a name that is no UTF-8 reaches the handler unchanged.
  return Hand(QUrl::fromEncoded("file://" + QByteArray::fromStdString(absolute).toPercentEncoding("/")));
}

void SetShellHandler(TShellHandler handler) {
  Handler() = std::move(handler);
}
