#pragma once
// The shell's "open": a web address or a file handed to the desktop's own
// handler (QDesktopServices), never through a command string. Tests replace
// the handler so that no browser or program is started.

#include <QUrl>
#include <functional>
#include <string>

using TShellHandler = std::function<bool(const QUrl& url)>;

// Opens target (cp1251): a web or mail address as it stands (a mail address
// without the parameters that would attach files), anything else as a file,
// made absolute against folder (the current folder when empty) and resolved
// ignoring case, through ShellOpenFile. Other URL schemes are refused with
// Exception, as a document must not start arbitrary handlers. Returns the
// handler's answer.
bool ShellOpen(const std::string& target, const std::string& folder = "");
// The URL ShellOpen would hand over; throws Exception for a refused scheme.
QUrl ShellUrl(const std::string& target, const std::string& folder = "");
// Opens the file at path (the file system's bytes, made absolute against the
// current folder) with the desktop's handler, unless the desktop would run it
// rather than show it: a program (the execute permission, an ELF, "MZ" or "#!"
// header), a desktop launcher, or a type that installs or runs software. Such
// a file is refused with Exception naming it.
bool ShellOpenFile(const std::string& path);
// Replaces the desktop's handler (null restores it).
void SetShellHandler(TShellHandler handler);
