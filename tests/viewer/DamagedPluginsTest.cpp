// A damaged plug-in folder: files that are no library for this program are
// refused before the loader sees them (a truncated library would crash it),
// libraries that fail while registering are dropped, and the good ones are
// bound all the same, with one line of log.txt per bad file.
#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstddef>
#include <fstream>
#include <iterator>

#include "PluginFixtures.h"
#include "platform/DynamicLibrary.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginManager.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class DamagedPluginsTest : public PluginTest {
 protected:
  // A copy of a good library with some bytes changed or cut off.
  std::string Damaged(const std::string& name, std::string bytes) {
    WritePluginFile(name, bytes);
    return PluginFolder() + name;
  }
  std::string Good() const { return ReadBytes(FakeVariant("fake_djvu")); }
};

TEST_F(DamagedPluginsTest, TheCheckRefusesWhatTheLoaderCannotTake) {
  const std::string good = Good();
  ASSERT_GT(good.size(), 30000u);
  EXPECT_EQ(CheckLibraryFile(FakeVariant("fake_djvu")), "");
  EXPECT_EQ(CheckLibraryFile(Damaged("empty.so", "")), "it is empty");
  EXPECT_EQ(CheckLibraryFile(Damaged("text.so", "just some text that is long enough to hold a header.....")),
            "it is not a shared library (no ELF header)");
  EXPECT_EQ(CheckLibraryFile(Damaged("tiny.so", good.substr(0, 40))),
            "it is not a shared library (no ELF header)");

  std::string arm = good;
  arm[offsetof(ElfW(Ehdr), e_machine)] = char(EM_ARM);
  arm[offsetof(ElfW(Ehdr), e_machine) + 1] = 0;
  EXPECT_EQ(CheckLibraryFile(Damaged("arm.so", arm)), "it is built for another processor architecture");
  std::string otherClass = good;
  otherClass[EI_CLASS] = otherClass[EI_CLASS] == ELFCLASS64 ? ELFCLASS32 : ELFCLASS64;
  EXPECT_EQ(CheckLibraryFile(Damaged("class.so", otherClass)),
            "it is built for another processor architecture");
  std::string executable = good;
  executable[offsetof(ElfW(Ehdr), e_type)] = ET_EXEC;
  EXPECT_EQ(CheckLibraryFile(Damaged("exec.so", executable)), "it is not a shared library");
  EXPECT_NE(CheckLibraryFile(PluginFolder()), "");
  EXPECT_NE(CheckLibraryFile(PluginFolder() + "missing.so"), "");
}

TEST_F(DamagedPluginsTest, EveryCutOfALibraryIsRefusedWithoutCrashing) {
  const std::string good = Good();
  // Cuts within the headers, within the code, and just short of the end.
  for (std::size_t size : {std::size_t(64), std::size_t(100), std::size_t(1024), std::size_t(4096),
                           std::size_t(8192), std::size_t(20480), good.size() / 2, good.size() - 1}) {
    const std::string path = Damaged("cut" + std::to_string(size) + ".so", good.substr(0, size));
    EXPECT_NE(CheckLibraryFile(path), "") << size;
    TPlugin plugin;
    EXPECT_FALSE(plugin.Load(path)) << size;
    EXPECT_NE(plugin.LastError().find("cut short"), std::string::npos) << size << ": " << plugin.LastError();
  }
}

TEST_F(DamagedPluginsTest, TheViewerStartsWithTheGoodPluginsAndLogsEachBadFile) {
  const std::string good = Good();
  InstallAs("fake_pdf", "pdf.so");
  InstallAs("fake_djvu", "zz_djvu.so");
  InstallAs("fake_no_version", "nosymbols.so");
  InstallAs("fake_register_throws", "throws.so");
  WritePluginFile("empty.so", "");
  WritePluginFile("readme.so", "not a library at all, only text");
  WritePluginFile("cut.so", good.substr(0, 20480));
  std::string arm = good;
  arm[offsetof(ElfW(Ehdr), e_machine)] = char(EM_ARM);
  WritePluginFile("arm.so", arm);

  StartPluginLayer(PluginFolder());
  ASSERT_EQ(SupportedExtensions->Count(), 2);
  EXPECT_EQ(SupportedExtensions->Strings(0), ".pdf");
  EXPECT_EQ(SupportedExtensions->Strings(1), ".djvu");
  EXPECT_EQ(FileManager->PluginManager().Libraries().Count(), 2);
  EXPECT_TRUE(messages.empty());

  const std::string log = LogText();
  for (const std::string name : {"arm.so", "cut.so", "empty.so", "nosymbols.so", "readme.so", "throws.so"}) {
    const std::string line = "plugin [" + PluginFolder() + name + "] not loaded: ";
    EXPECT_NE(log.find(line), std::string::npos) << name << " missing in\n" << log;
  }
  EXPECT_NE(log.find("throws.so] not loaded: fake registration failure"), std::string::npos) << log;
  EXPECT_EQ(log.find("pdf.so]"), std::string::npos);
  EXPECT_EQ(log.find("zz_djvu.so]"), std::string::npos);
}

}  // namespace
