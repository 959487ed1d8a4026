#include "platform/FileSystem.h"

#include <unistd.h>

#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace fs = std::filesystem;

namespace {

fs::path ToFs(const std::string& path) {
  return fs::path(Cp1251ToUtf8(NormalizePath(path)));
}

bool ExistsUtf8(const std::string& utf8) {
  std::error_code ec;
  return fs::exists(fs::path(utf8), ec);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// Calls visit(entry, cp1251 name) for every entry of folder. Errors end the
// walk quietly; names without a cp1251 spelling are skipped, as the system
// could not name them back.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  std::error_code ec;
  fs::directory_iterator it(ToFs(folder.empty() ? "." : folder), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string utf8 = it->path().filename().string();
    const std::string name = Utf8ToCp1251(utf8);
    if (Cp1251ToUtf8(name) == utf8) visit(*it, name);
  }
}

// A UTF-8 name folded for comparison ignoring case, or nothing when the
// caller's strings cannot spell it.
using TFoldName = std::optional<std::string> (*)(const std::string& utf8);

std::optional<std::string> FoldCp1251(const std::string& utf8) {
  const std::string name = Utf8ToCp1251(utf8);
  if (Cp1251ToUtf8(name) != utf8) return std::nullopt;
  return AnsiLowerCase(name);
}

// Bytes that are no UTF-8 have no case: such names match only as written.
std::optional<std::string> FoldUnicode(const std::string& utf8) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
  if (decoder.hasError()) return std::nullopt;
  return text.toCaseFolded().toUtf8().toStdString();
}

// The entry of folder (UTF-8) whose name folds as name does.
std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& name,
                                            TFoldName fold) {
  const std::optional<std::string> wanted = fold(name);
  if (!wanted) return std::nullopt;
  std::optional<std::string> found;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder.empty() ? "." : folder), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    // Several spellings may match; the smallest is chosen so the answer does not depend on disk order.
    if (fold(entry) == wanted && (!found || entry < *found)) found = entry;
  }
  return found;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = std::min(path.find('/', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// '*' matches any run, '?' one character; both sides already folded.
bool MatchesMask(const std::string& name, const std::string& mask) {
  std::size_t n = 0, m = 0;
  // Where the last '*' stood, and the name position it is currently taken to end at.
  std::size_t starMask = std::string::npos, starEnd = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starEnd = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starEnd;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

template <typename Keep>
std::vector<std::string> ListEntries(const std::string& folder, Keep keep) {
  std::vector<std::string> names;
  ForEachEntry(ResolvePath(folder), [&](const fs::directory_entry& entry, const std::string& name) {
    if (keep(entry, name)) names.push_back(name);
  });
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int order = CompareTextRu(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return names;
}

std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

// Position of the name part's extension dot, or npos.
std::size_t ExtensionDot(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && dot >= NameStart(path) ? dot : std::string::npos;
}

}  // namespace

std::string NormalizePath(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

namespace {

// ResolvePath over UTF-8 paths already normalised.
std::string ResolveUtf8(const std::string& normal, TFoldName fold) {
  if (normal.empty() || ExistsUtf8(normal)) return normal;
  std::string resolved = normal.front() == '/' ? "/" : "";
  bool found = true;
  for (const std::string& part : SplitComponents(normal)) {
    const std::string exact = Join(resolved, part);
    // Once a component is missing, the rest cannot be looked up and stays as written.
    if (!found || part == "." || part == ".." || ExistsUtf8(exact)) {
      resolved = exact;
      continue;
    }
    const std::optional<std::string> match = FindIgnoringCase(resolved, part, fold);
    found = match.has_value();
    resolved = Join(resolved, match.value_or(part));
  }
  return normal.back() == '/' ? Join(resolved, "") : resolved;
}

}  // namespace

std::string ResolvePath(const std::string& path) {
  const std::string normal = NormalizePath(path);
  const std::string utf8 = Cp1251ToUtf8(normal);
  // A path that exists as written keeps its own spelling.
  if (normal.empty() || ExistsUtf8(utf8)) return normal;
  return Utf8ToCp1251(ResolveUtf8(utf8, &FoldCp1251));
}

std::string NativePath(const std::string& path) {
  return Cp1251ToUtf8(ResolvePath(path));
}

std::string ResolveNativePath(const std::string& path) {
  return ResolveUtf8(path, &FoldUnicode);
}

std::string NativeFilePath(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}

std::string NativeFileName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

TFileState NativeFileState(const std::string& path) {
  if (path.empty()) return TFileState::Missing;
  const std::string found = ResolveNativePath(path);
  struct stat st {};
  if (::stat(found.c_str(), &st) != 0) return errno == EACCES ? TFileState::Unreadable : TFileState::Missing;
  if (S_ISDIR(st.st_mode)) return TFileState::Folder;
  if (!S_ISREG(st.st_mode)) return TFileState::NotAFile;
  if (::access(found.c_str(), R_OK) != 0) return TFileState::Unreadable;
  return st.st_size == 0 ? TFileState::Empty : TFileState::Readable;
}

bool NativeFileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(fs::path(ResolveNativePath(path)), ec);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(ToFs(ResolvePath(path)), ec);
}

std::optional<TFileStamp> NativeFileStamp(const std::string& nativePath) {
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) != 0) return std::nullopt;
  return TFileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(ToFs(ResolvePath(path)), ec);
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& wildcard) {
  const std::string mask = AnsiLowerCase(wildcard);
  return ListEntries(folder, [&](const fs::directory_entry& entry, const std::string& name) {
    std::error_code ec;
    return entry.is_regular_file(ec) && MatchesMask(AnsiLowerCase(name), mask);
  });
}

std::vector<std::string> ListFolders(const std::string& folder) {
  return ListEntries(folder, [](const fs::directory_entry& entry, const std::string&) {
    std::error_code ec;
    return entry.is_directory(ec);
  });
}

std::string ProgramFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) throw Exception("Cannot find the program's folder: " + ec.message());
  return Join(Utf8ToCp1251(exe.parent_path().string()), "");
}

std::string ExtractFilePath(const std::string& path) {
  return path.substr(0, NameStart(path));
}

std::string ExtractFileName(const std::string& path) {
  return path.substr(NameStart(path));
}

std::string ExtractFileExt(const std::string& path) {
  const std::size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  return path.substr(0, std::min(ExtensionDot(path), path.size())) + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (path.empty()) return "./";
  const char last = path.back();
  return last == '/' || last == '\\' ? path : path + '/';
}

namespace {

// 1048576 as "1 MB", 65536 as "64 KB".
std::string ByteCount(std::size_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return Format("%d MB", bytes >> 20);
  if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return Format("%d KB", bytes >> 10);
  return Format("%d bytes", bytes);
}

}  // namespace

std::string ReadTextFile(const std::string& path, std::size_t maxBytes) {
  if (!FileExists(path)) throw Exception(Format("File not found: %s", path));
  const std::string tooLarge = Format("File too large: %s (more than %s)", path, ByteCount(maxBytes));
  std::error_code error;
  const std::uintmax_t size = fs::file_size(fs::path(NativePath(path)), error);
  if (!error && size > maxBytes) throw Exception(tooLarge);
  // Read no further than the limit: the file may have grown since, or its
  // size may say nothing (a file of /proc).
  std::ifstream in(fs::path(NativePath(path)), std::ios::binary);
  if (!in.is_open()) throw Exception(Format("Cannot read file: %s", path));
  std::string text;
  if (!error) text.reserve(std::size_t(size));
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    if (text.size() + std::size_t(in.gcount()) > maxBytes) throw Exception(tooLarge);
    text.append(block, std::size_t(in.gcount()));
  }
  if (in.bad()) throw Exception(Format("Cannot read file: %s", path));
  return text;
}
