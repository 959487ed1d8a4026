// The caches' one rule: a budget, the least recently used dropped first, and a
// value read from files read again once a file changed, even while it was read.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/FileCache.h"
#include "platform/LruCache.h"

TEST(LruCache, DropsTheLeastRecentlyUsedFirst) {
  TLruCache<int, std::string> cache(3);
  cache.Put(1, "one");
  cache.Put(2, "two");
  cache.Put(3, "three");
  ASSERT_NE(cache.Find(1), nullptr);  // 2 is now the least recently used
  cache.Put(4, "four");
  EXPECT_EQ(cache.Find(2), nullptr);
  cache.Put(3, "drei");  // a new value is a use: 1 is the least recently used
  cache.Put(5, "five");
  EXPECT_EQ(cache.Find(1), nullptr);
  ASSERT_NE(cache.Find(3), nullptr);
  EXPECT_EQ(*cache.Find(3), "drei");
  EXPECT_NE(cache.Find(4), nullptr);
  EXPECT_EQ(cache.Count(), 3u);
}

TEST(LruCache, KeepsTheCostsWithinTheBudget) {
  TLruCache<char, int> cache(10);
  cache.Put('a', 1, 4);
  cache.Put('b', 2, 4);
  cache.Put('b', 2, 1);  // replaced: its old cost goes
  cache.Put('c', 3, 5);
  EXPECT_EQ(cache.Cost(), 10u);
  EXPECT_EQ(cache.Count(), 3u);
  cache.Put('d', 4, 5);  // a and then b make room
  EXPECT_EQ(cache.Find('a'), nullptr);
  EXPECT_EQ(cache.Find('b'), nullptr);
  EXPECT_EQ(cache.Cost(), 10u);
  cache.SetBudget(4);
  EXPECT_EQ(cache.Find('c'), nullptr);
  cache.Put('e', 5, 40);  // alone beyond the budget: kept alone
  EXPECT_EQ(cache.Count(), 1u);
  EXPECT_NE(cache.Find('e'), nullptr);
}

namespace {

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string Read(const std::string& path) {
  std::string text;
  std::getline(std::ifstream(path, std::ios::binary), text);
  return text;
}

}  // namespace

TEST(FileCache, AFileReplacedAfterItsStampIsReadAgainOnce) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("value.txt").toStdString();
  Write(path, "old");
  TFileCache<std::string, std::string> cache(4);
  int reads = 0;
  const auto read = [&](TFileStamps& files) {
    ++reads;
    files.Add(path);
    const std::string text = Read(path);
    // Replaced after its stamp was taken, as by a writer while it is read.
    if (reads == 1) {
      Write(path + ".new", "new version");
      std::rename((path + ".new").c_str(), path.c_str());
    }
    return text;
  };
  EXPECT_EQ(cache.Get("key", read), "old");
  EXPECT_EQ(cache.Get("key", read), "new version");
  EXPECT_EQ(cache.Get("key", read), "new version");
  EXPECT_EQ(reads, 2);
}
