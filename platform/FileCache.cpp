#include "platform/FileCache.h"

void TFileStamps::Add(const std::string& nativePath) {
  files_.emplace_back(nativePath, NativeFileStamp(nativePath));
}

bool TFileStamps::Current() const {
  for (const auto& [path, stamp] : files_)
    if (NativeFileStamp(path) != stamp) return false;
  return true;
}
