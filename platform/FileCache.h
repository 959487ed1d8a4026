#pragma once
// TFileCache: values read from files, kept by the rule of TLruCache and read
// again once one of their files has changed. A file's stamp is taken before
// the file is read, so a file replaced while it is read counts as changed at
// the next look-up instead of leaving the old contents kept for good.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/LruCache.h"

// The files a value was read from, each with its stamp from just before it was read.
class TFileStamps {
 public:
  // Notes a file (in the file system's spelling) with its stamp now: call it
  // before reading the file. A missing file is noted as missing.
  void Add(const std::string& nativePath);
  // True while every noted file still has its noted stamp.
  bool Current() const;

 private:
  std::vector<std::pair<std::string, std::optional<TFileStamp>>> files_;
};

template <typename TKey, typename TValue>
class TFileCache {
 public:
  // At most budget values.
  explicit TFileCache(std::size_t budget) : entries_(budget) {}

  // The value kept under key while its files are unchanged; else the value of
  // read(TFileStamps&), which notes each file in the stamps before it reads
  // it. When read throws, the cache keeps what it had.
  template <typename TRead>
  const TValue& Get(const TKey& key, TRead read) {
    if (const TEntry* kept = entries_.Find(key); kept && kept->Files.Current()) return kept->Value;
    TFileStamps files;
    TValue value = read(files);
    return entries_.Put(key, TEntry{std::move(files), std::move(value)}).Value;
  }

 private:
  struct TEntry {
    TFileStamps Files;
    TValue Value;
  };
  TLruCache<TKey, TEntry> entries_;
};
