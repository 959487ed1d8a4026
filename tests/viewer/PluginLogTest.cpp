// The plug-ins' log file, and the owning string list the registry is made of.
#include <gtest/gtest.h>

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
  PluginLogFolder = Folder();
  EXPECT_EQ(LogText(), "");
}

TEST_F(PluginLogTest, MessagesFromSeveralThreadsStayWhole) {
  const std::string line(200, 'x');
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) PluginLogCallback(0, 0, (line + "\n").c_str());
    });
  for (std::thread& thread : threads) thread.join();
  const std::string log = LogText();
  EXPECT_EQ(log.size(), 4u * 50u * 201u);
  EXPECT_EQ(log.find_first_not_of("x\n"), std::string::npos);
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
