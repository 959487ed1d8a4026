#include "PluginFixtures.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Application.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLog.h"

std::string FakeVariant(const std::string& variant) {
  return FAKE_PLUGIN_STORE + variant + ".so";
}

void PluginTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PluginFolder())));
  DebugMessages = true;
  PluginLogFolder = Folder();
  Application->SetMessageSink(
      [this](const std::string& text, const std::string&) { messages.push_back(text); });
}

void PluginTest::TearDown() {
  StopPluginLayer();
  Application->SetMessageSink(nullptr);
  PluginLogFolder.clear();
  DebugMessages = false;
  // Qt cannot remove files whose names are no UTF-8; the bytes can.
  std::error_code ignored;
  std::filesystem::remove_all(dir_.path().toStdString(), ignored);
}

void PluginTest::Install(const std::vector<std::string>& variants) {
  for (const std::string& variant : variants) InstallAs(variant, variant + ".so");
}

void PluginTest::InstallAs(const std::string& variant, const std::string& fileName) {
  ASSERT_TRUE(QFile::copy(QString::fromStdString(FakeVariant(variant)),
                          QString::fromStdString(PluginFolder() + fileName)))
      << variant;
}

std::string PluginTest::MakeDocument(const std::string& name, const std::string& format, int pages) {
  const std::string path = Folder() + name;
  std::ofstream(path) << "FAKEDOC " << format << " " << pages << "\n";
  return path;
}

void PluginTest::WritePluginFile(const std::string& name, const std::string& bytes) {
  std::ofstream(PluginFolder() + name) << bytes;
}

TFakeCounters& PluginTest::Counters(const std::string& fileName) {
  pinned_.emplace_back(PluginFolder() + fileName);
  auto counters = reinterpret_cast<TFakeCountersProc>(pinned_.back().Symbol("FakeCounters"));
  if (!counters) throw std::runtime_error("no counters in " + fileName);
  return *counters();
}

std::string PluginTest::LogText() const {
  FlushPluginLog();
  std::ifstream file(Folder() + "log.txt", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}
