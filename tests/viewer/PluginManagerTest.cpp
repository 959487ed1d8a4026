// The plug-in registry: loading a folder, registering formats, the filter
// text and the extension list, and what becomes of bad libraries.
#include <gtest/gtest.h>

#include "PluginFixtures.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLog.h"
#include "viewer/Plugin/PluginManager.h"

namespace {

class PluginManagerTest : public PluginTest {
 protected:
  std::string Filter(const TPluginManager& manager, int* count = nullptr) {
    std::string filter;
    const int n = manager.GetSupportedExt(filter);
    if (count) *count = n;
    return Cp1251ToUtf8(filter);
  }
};

TEST_F(PluginManagerTest, EmptyOrMissingFolderHasNoFormats) {
  for (const std::string& folder : {PluginFolder(), Folder() + "missing/"}) {
    TPluginManager manager(folder);
    int count = -1;
    EXPECT_EQ(Filter(manager, &count), "все поддерживаемые форматы");
    EXPECT_EQ(count, 0);
    TPlugin* plugin = reinterpret_cast<TPlugin*>(1);
    EXPECT_FALSE(manager.FindFormat("pdf", plugin));
    EXPECT_EQ(plugin, nullptr);
  }
}

TEST_F(PluginManagerTest, RegistersEveryAnnouncedFormat) {
  Install({"fake_both", "fake_djvu"});
  TPluginManager manager(PluginFolder());
  ASSERT_EQ(manager.Libraries().Count(), 2);
  EXPECT_EQ(manager.Libraries().Strings(0), PluginFolder() + "fake_both.so");
  int count = 0;
  EXPECT_EQ(Filter(manager, &count), "все поддерживаемые форматы|*.djvu;*.pdf;*.djvu");
  EXPECT_EQ(count, 3);

  const auto* format = manager.Formats().ObjectAs<TPluginBase>(0);
  EXPECT_EQ(format->Extension, "djvu");
  EXPECT_EQ(format->Reserved1, 1);
  EXPECT_EQ(format->Reserved3, 3);
}

TEST_F(PluginManagerTest, FirstLibraryInFolderOrderServesADoubleFormat) {
  InstallAs("fake_pdf", "b_pdf.so");
  InstallAs("fake_pdf", "a_pdf.so");
  TPluginManager manager(PluginFolder());
  ASSERT_EQ(manager.Libraries().Count(), 2);
  TPlugin* plugin = nullptr;
  ASSERT_TRUE(manager.FindFormat("PDF", plugin));
  EXPECT_EQ(plugin, manager.Libraries().ObjectAs<TPlugin>(0));
  EXPECT_EQ(manager.Libraries().Strings(0), PluginFolder() + "a_pdf.so");
}

TEST_F(PluginManagerTest, EveryLibraryIsSetUpOnceWithTheLogCallback) {
  Install({"fake_djvu", "fake_pdf"});
  TFakeCounters& djvu = Counters("fake_djvu.so");
  TFakeCounters& pdf = Counters("fake_pdf.so");
  TPluginManager manager(PluginFolder());
  EXPECT_EQ(djvu.SetupCalls, 1);
  EXPECT_EQ(pdf.SetupCalls, 1);
  EXPECT_EQ(manager.SetupRec().Log, &PluginLogCallback);
  EXPECT_EQ(manager.SetupRec().LogContext, &manager);
  EXPECT_EQ(manager.SetupRec().Mode, 0);
}

TEST_F(PluginManagerTest, RefusedLibrariesAreSkippedAndLogged) {
  Install({"fake_no_gettext", "fake_version4", "fake_no_formats", "fake_djvu"});
  WritePluginFile("broken.so", "no library");
  TPluginManager manager(PluginFolder());
  ASSERT_EQ(manager.Libraries().Count(), 1);
  EXPECT_EQ(manager.Libraries().Strings(0), PluginFolder() + "fake_djvu.so");
  EXPECT_TRUE(messages.empty());

  const std::string log = LogText();
  EXPECT_NE(
      log.find("[" + PluginFolder() + "fake_version4.so] not loaded: it speaks plug-in interface version 4"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("fake_no_gettext.so] not loaded"), std::string::npos);
  EXPECT_NE(log.find("broken.so] not loaded"), std::string::npos);
  // A library that serves nothing is not an error.
  EXPECT_EQ(log.find("fake_no_formats"), std::string::npos);
}

TEST_F(PluginManagerTest, MalformedAnnouncementsAreLoggedAndLeaveNothing) {
  Install({"fake_endless_formats", "fake_bad_extension", "fake_pdf"});
  TPluginManager manager(PluginFolder());
  EXPECT_TRUE(messages.empty());
  const std::string log = LogText();
  EXPECT_NE(
      log.find("[" + PluginFolder() +
               "fake_bad_extension.so] not loaded: The plug-in announces an invalid file extension\r\n"),
      std::string::npos)
      << log;
  EXPECT_NE(
      log.find("[" + PluginFolder() + "fake_endless_formats.so] not loaded: The plug-in's list of formats"),
      std::string::npos)
      << log;
  EXPECT_EQ(manager.Libraries().Count(), 1);
  EXPECT_EQ(Filter(manager), "все поддерживаемые форматы|*.pdf");
}

TEST_F(PluginManagerTest, LogsOnlyWhileDebugMessagesIsOn) {
  Install({"fake_bad_extension"});
  DebugMessages = false;
  TPluginManager manager(PluginFolder());
  EXPECT_EQ(LogText(), "");
  EXPECT_EQ(manager.Libraries().Count(), 0);
}

TEST_F(PluginManagerTest, StartUpFillsTheExtensionList) {
  Install({"fake_pdf", "fake_djvu"});
  StartPluginLayer(PluginFolder());
  EXPECT_TRUE(DebugMessages);
  ASSERT_NE(SupportedExtensions, nullptr);
  ASSERT_EQ(SupportedExtensions->Count(), 2);
  EXPECT_EQ(SupportedExtensions->Strings(0), ".djvu");
  EXPECT_EQ(SupportedExtensions->Strings(1), ".pdf");
  StopPluginLayer();
  EXPECT_EQ(FileManager, nullptr);
  EXPECT_EQ(SupportedExtensions, nullptr);
  EXPECT_TRUE(PluginsFolder.empty());
}

TEST_F(PluginManagerTest, StartUpWithoutPluginsListsNoExtension) {
  StartPluginLayer(PluginFolder());
  EXPECT_EQ(SupportedExtensions->Count(), 0);
}

TEST_F(PluginManagerTest, StartUpFindsThePluginsBesideTheProgram) {
  StartPluginLayer();
  EXPECT_EQ(PluginsFolder, ProgramFolder() + "Plugins/");
  EXPECT_EQ(SupportedExtensions->Count(), 2);
}

TEST_F(PluginManagerTest, ExtensionListNeedsTheFileManager) {
  try {
    BuildExtensionList();
    FAIL() << "built a list without a file manager";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "internal error: FileManager отсутствут - этого не должно было быть"_cp);
  }
}

}  // namespace
