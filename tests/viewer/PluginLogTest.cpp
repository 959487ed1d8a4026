// The plug-ins' log file, and the owning string list the registry is made of.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>
#include <thread>

#include "PluginFixtures.h"
#include "viewer/Plugin/BMStringList.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLog.h"

namespace {

class PluginLogTest : public PluginTest {};

TEST_F(PluginLogTest, MessagesRunTogetherAsWritten) {
  PluginLogCallback(1, 2, "same");
  PluginLogCallback(0, 0, "same");
  PluginLogCallback(0, 0, nullptr);
  PluginLogCallback(0, 0, "");
  EXPECT_EQ(LogText(), "samesame");
}

TEST_F(PluginLogTest, AppendsToWhatIsThere) {
  AppendToPluginLog("earlier\r\n");
  PluginLogCallback(0, 0, "later");
  EXPECT_EQ(LogText(), "earlier\r\nlater");
}

TEST_F(PluginLogTest, NothingIsWrittenWhileDebugMessagesIsOff) {
  DebugMessages = false;
  PluginLogCallback(0, 0, "quiet");
  EXPECT_EQ(LogText(), "");
}

TEST_F(PluginLogTest, UnwritableFolderLosesTheMessageQuietly) {
  PluginLogFolder = Folder() + "no/such/folder";
  PluginLogCallback(0, 0, "lost");
  FlushPluginLog();
  PluginLogFolder = Folder();
  EXPECT_EQ(LogText(), "");
}

TEST_F(PluginLogTest, MessagesFromSeveralThreadsStayWhole) {
  const std::string line(200, 'x');
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) PluginLogCallback(0, 0, (line + "\n").c_str());
    });
  for (std::thread& thread : threads) thread.join();
  const std::string log = LogText();
  EXPECT_EQ(log.size(), 4u * 20u * 201u);
  EXPECT_EQ(log.find_first_not_of("x\n"), std::string::npos);
}

// Lines are kept until the event loop is back, then written in one block to
// the file the log holds open.
TEST_F(PluginLogTest, MessagesReachTheFileWhenTheEventLoopRuns) {
  PluginLogCallback(0, 0, "first\n");
  PluginLogCallback(0, 0, "second\n");
  std::ifstream file(Folder() + "log.txt", std::ios::binary);
  EXPECT_FALSE(file.is_open());
  QCoreApplication::processEvents();
  EXPECT_EQ(LogText(), "first\nsecond\n");
  PluginLogCallback(0, 0, "third\n");
  ClosePluginLog();
  EXPECT_EQ(LogText(), "first\nsecond\nthird\n");
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A damaged file makes its plug-in complain for every object it reads; the
// log keeps the first messages about each document and counts the rest.
TEST_F(PluginLogTest, AFloodAboutOneDocumentIsCutWithACount) {
  {
    const TPluginLogScope scope("/books/damaged.pdf");
    for (int i = 0; i < 880'000; ++i) PluginLogCallback(0, 0, "pdf: Syntax Error: bad object\n");
    const TPluginLogScope inner("/books/other.pdf");
    PluginLogCallback(0, 0, "pdf: about the other one\n");
  }
  PluginLogCallback(0, 0, "outside\n");
  const std::string log = LogText();
  EXPECT_EQ(CountOf(log, "bad object"), std::size_t(kMaxLogMessagesPerDocument));
  EXPECT_EQ(CountOf(log, "log.txt: 879900 more messages about [/books/damaged.pdf] were dropped\r\n"), 1u);
  EXPECT_EQ(CountOf(log, "about the other one"), 1u);
  EXPECT_EQ(CountOf(log, "outside"), 1u);
  EXPECT_LT(log.size(), 10'000u);

  // Later floods about the same document are counted on from there, each count once.
  {
    const TPluginLogScope scope("/books/damaged.pdf");
    for (int i = 0; i < 5; ++i) PluginLogCallback(0, 0, "pdf: again\n");
  }
  const std::string later = LogText();
  EXPECT_EQ(CountOf(later, "again"), 0u);
  EXPECT_EQ(CountOf(later, "log.txt: 5 more messages about [/books/damaged.pdf] were dropped"), 1u);
  EXPECT_EQ(CountOf(later, "879900 more"), 1u);
}

// The budget belongs to one session of the plug-in layer.
TEST_F(PluginLogTest, ClosingTheLogStartsANewCount) {
  const TPluginLogScope scope("/books/damaged.pdf");
  for (int i = 0; i < kMaxLogMessagesPerDocument + 1; ++i) PluginLogCallback(0, 0, "x");
  ClosePluginLog();
  PluginLogCallback(0, 0, "y");
  EXPECT_EQ(LogText().substr(kMaxLogMessagesPerDocument),
            "log.txt: 1 more messages about [/books/damaged.pdf] were dropped\r\ny");
}

TEST_F(PluginLogTest, MessageWithoutItsEndIsCut) {
  std::vector<char> endless(100 * 1024, 'y');  // no NUL anywhere
  PluginLogCallback(0, 0, endless.data());
  EXPECT_EQ(LogText(), std::string(64 * 1024, 'y'));
}

// An owned object that counts its frees and can fail to close.
class Probe : public TOwnedObject {
 public:
  Probe(int& freed, bool fails) : freed_(freed), fails_(fails) {}
  ~Probe() override { ++freed_; }
  void Close() override {
    if (fails_) throw std::runtime_error("cannot close");
  }

 private:
  int& freed_;
  bool fails_;
};

class OwningListTest : public PluginTest {};

TEST_F(OwningListTest, FreeAllReportsEachFailureAndFreesEverything) {
  int freed = 0;
  TBMStringList list;
  list.AddObject("a", std::make_unique<Probe>(freed, true));
  list.AddObject("b", std::make_unique<Probe>(freed, false));
  list.AddObject("c", std::make_unique<Probe>(freed, true));
  list.FreeAll("could not free");
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(messages, (std::vector<std::string>{"could not free", "could not free"}));
}

TEST_F(OwningListTest, DestructorSwallowsFailures) {
  int freed = 0;
  {
    TBMStringList list;
    list.AddObject("a", std::make_unique<Probe>(freed, true));
    list.AddObject("b", std::make_unique<Probe>(freed, false));
  }
  EXPECT_EQ(freed, 2);
  EXPECT_TRUE(messages.empty());
}

TEST_F(OwningListTest, LooksUpIgnoringCaseAndExtractsWithoutFreeing) {
  int freed = 0;
  TBMStringList list;
  list.AddObject("Pdf", std::make_unique<Probe>(freed, false));
  list.AddObject("pdf", std::make_unique<Probe>(freed, false));
  EXPECT_EQ(list.IndexOf("PDF"), 0);
  std::unique_ptr<TOwnedObject> taken = list.Extract(0);
  EXPECT_EQ(freed, 0);
  EXPECT_EQ(list.Count(), 1);
  list.Delete(0);
  EXPECT_EQ(freed, 1);
}

}  // namespace
