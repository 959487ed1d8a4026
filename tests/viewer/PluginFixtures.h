#pragma once
// Shared set-up of the plug-in layer tests: a Plugins/ folder of chosen fake
// plug-in variants, fake documents, a log folder and a message recorder, all
// in a temporary folder of the test's own (tests run in parallel).

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "FakePluginCounters.h"
#include "platform/DynamicLibrary.h"

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Copies the fake variants (names without ".so") into the plug-in folder,
  // under the given file names when asked (so the folder order can be chosen).
  void Install(const std::vector<std::string>& variants);
  void InstallAs(const std::string& variant, const std::string& fileName);
  // A fake document for format ("*" for any plug-in) with that many pages.
  std::string MakeDocument(const std::string& name, const std::string& format, int pages = 3);
  // Writes bytes as a file of the plug-in folder (a library that is none).
  void WritePluginFile(const std::string& name, const std::string& bytes);
  // The counters of an installed plug-in file; the library stays mapped for
  // the test's life, so they can be read after the viewer let it go.
  TFakeCounters& Counters(const std::string& fileName);
  // log.txt of this test.
  std::string LogText() const;

  std::string Folder() const { return dir_.path().toStdString() + "/"; }
  std::string PluginFolder() const { return Folder() + "Plugins/"; }

  std::vector<std::string> messages;

 private:
  QTemporaryDir dir_;
  std::vector<TDynamicLibrary> pinned_;
};

// The path of a variant in the store.
std::string FakeVariant(const std::string& variant);
