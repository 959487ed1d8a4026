#pragma once
// Files and folders. The system's paths are cp1251 std::string and may use '\'
// as Windows did (".\imgs\", "Plugins\"); names on disk are UTF-8. Every
// function here takes and returns cp1251 paths and converts to the file
// system's UTF-8 at this boundary. Windows names were case-insensitive, so a
// name missing as written is looked up ignoring case (A-Z and cp1251 letters).

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

// '\' becomes '/'.
std::string NormalizePath(const std::string& path);
// The normalised path when it exists as written; else each missing component
// is replaced by the entry of its folder that matches it ignoring case. From
// the first component with no match on, the path stays as written, so a file
// about to be created lands in the folder that exists.
std::string ResolvePath(const std::string& path);
// The resolved path in the file system's UTF-8, for fopen, dlopen or Qt.
std::string NativePath(const std::string& path);

// Paths in the file system's own spelling: the bytes a reader's file name is
// made of (UTF-8 for text), where every byte but "/" and NUL belongs to a name
// and "\" is a letter like any other.
// ResolvePath's lookup for such a path: a name missing as written is looked up
// ignoring case over all of Unicode; a name that is no UTF-8 only as written.
std::string ResolveNativePath(const std::string& path);
// The folder part with its trailing "/" ("" for a bare name), and the name part.
std::string NativeFilePath(const std::string& path);
std::string NativeFileName(const std::string& path);

// What a path in the file system's spelling leads to, as far as a reader
// opening it as a document must know.
enum class TFileState { Readable, Missing, Folder, NotAFile, Unreadable, Empty };
TFileState NativeFileState(const std::string& path);

// True for a regular file only (a folder is not a file).
bool FileExists(const std::string& path);
// FileExists for a path in the file system's spelling (see ResolveNativePath).
bool NativeFileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// What tells one file, and one version of it, from another: a file is the
// same wherever its device and inode are, and written again or replaced it
// gets another size or time.
struct TFileStamp {
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  timespec Modified{};
  bool SameFile(const TFileStamp& o) const { return Device == o.Device && Inode == o.Inode; }
  bool operator==(const TFileStamp& o) const {
    return SameFile(o) && Size == o.Size && Modified.tv_sec == o.Modified.tv_sec &&
           Modified.tv_nsec == o.Modified.tv_nsec;
  }
};
// The stamp of a path in the file system's spelling; none when it cannot be read.
std::optional<TFileStamp> NativeFileStamp(const std::string& nativePath);
// Names of the regular files in folder matching a wildcard such as "*.cml"
// ('*' and '?', ignoring case), sorted by name. A missing or unreadable folder
// lists nothing; names that have no cp1251 spelling are left out.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& wildcard);
// Names of the subfolders of folder, sorted by name; same rules as ListFiles.
std::vector<std::string> ListFolders(const std::string& folder);
// The folder of the running program, ending in '/'.
std::string ProgramFolder();

// The folder part with its trailing delimiter ('\' or '/'); "" for a bare name.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
// The extension of the name part with its dot (".cml"); "" when there is none.
std::string ExtractFileExt(const std::string& path);
// Replaces the name part's extension by ext (which brings its own dot), or appends it.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// Adds '/' unless the path already ends in a delimiter; "" becomes "./" (the
// current folder), never the root.
std::string IncludeTrailingPathDelimiter(const std::string& path);

// The file's bytes as they stand. Throws Exception "File not found: %s",
// "Cannot read file: %s" or, for a file of more than maxBytes, "File too
// large: %s (more than 64 KB)", with the path as given. Every caller states
// the limit of its kind of file and why.
std::string ReadTextFile(const std::string& path, std::size_t maxBytes);
