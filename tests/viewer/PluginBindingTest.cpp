// Binding one plug-in library: which export sets bind, which are refused and
// why, and the dynamic-library layer beneath.
#include <gtest/gtest.h>

#include "PluginFixtures.h"
#include "platform/DynamicLibrary.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/Plugin.h"

namespace {

TEST(DynamicLibraryTest, MissingFileNamesThePathInItsError) {
  try {
    TDynamicLibrary library("/nonexistent/folder/lib.so");
    FAIL() << "loaded a missing file";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("[/nonexistent/folder/lib.so]"), std::string::npos) << e.Message();
  }
}

TEST(DynamicLibraryTest, LooksUpExactNamesOnly) {
  TDynamicLibrary library(FakeVariant("fake_djvu"));
  EXPECT_NE(library.Symbol("GetPluginDescription"), nullptr);
  EXPECT_EQ(library.Symbol("getplugindescription"), nullptr);
  EXPECT_EQ(library.Symbol("NoSuchExport"), nullptr);
  EXPECT_EQ(library.Symbol(nullptr), nullptr);
  library.Close();
  EXPECT_FALSE(library.Loaded());
  EXPECT_EQ(library.Symbol("GetPluginDescription"), nullptr);
}

TEST(DynamicLibraryTest, MovingHandsTheLibraryOver) {
  TDynamicLibrary first(FakeVariant("fake_djvu"));
  TDynamicLibrary second(std::move(first));
  EXPECT_FALSE(first.Loaded());
  EXPECT_NE(second.Symbol("Blit"), nullptr);
}

class PluginBindingTest : public PluginTest {};

TEST_F(PluginBindingTest, CompleteLibraryBindsEveryExport) {
  TPlugin plugin;
  ASSERT_TRUE(plugin.Load(FakeVariant("fake_djvu"))) << plugin.LastError();
  EXPECT_TRUE(plugin.Loaded());
  EXPECT_TRUE(plugin.GetPluginDescription && plugin.SetupPlugin && plugin.CreateDocument && plugin.Blit);
  EXPECT_TRUE(plugin.CreateContext && plugin.DestoryContext && plugin.GetText && plugin.GetTableOfContents);
  EXPECT_TRUE(plugin.ReadBorders && plugin.ReadRects && plugin.ReadActiveRectsCount &&
              plugin.ReadActiveRects);
  EXPECT_NE(plugin.OpenDocumentEx, nullptr);
  EXPECT_NE(plugin.OpenDocumentUtf8, nullptr);
  EXPECT_EQ(plugin.GetPluginVersion(), FOLIO_PLUGIN_INTERFACE_VERSION);
  EXPECT_EQ(plugin.Version(), FOLIO_PLUGIN_INTERFACE_VERSION);
}

TEST_F(PluginBindingTest, AnOlderPluginBindsWithoutTheLaterExports) {
  TPlugin plugin;
  ASSERT_TRUE(plugin.Load(FakeVariant("fake_version1"))) << plugin.LastError();
  EXPECT_EQ(plugin.Version(), 1);
  // It has a procedure of that name, but version 1 gave the name no meaning.
  EXPECT_EQ(plugin.OpenDocumentUtf8, nullptr);
  EXPECT_NE(plugin.OpenDocument, nullptr);
}

TEST_F(PluginBindingTest, OptionalGroupsMayBeMissing) {
  TPlugin renderOnly;
  ASSERT_TRUE(renderOnly.Load(FakeVariant("fake_render_only"))) << renderOnly.LastError();
  EXPECT_EQ(renderOnly.CreateContext, nullptr);
  EXPECT_EQ(renderOnly.GetText, nullptr);
  EXPECT_NE(renderOnly.Blit, nullptr);

  TPlugin noOptional;
  ASSERT_TRUE(noOptional.Load(FakeVariant("fake_no_optional"))) << noOptional.LastError();
  EXPECT_NE(noOptional.GetText, nullptr);
  EXPECT_EQ(noOptional.ReadRects, nullptr);
  EXPECT_EQ(noOptional.ReadBorders, nullptr);
  EXPECT_EQ(noOptional.ReadActiveRects, nullptr);
  EXPECT_EQ(noOptional.OpenDocumentEx, nullptr);
}

// Each refused library is released again and leaves no procedure behind.
struct Refusal {
  const char* Variant;
  const char* Reason;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
  *out << refusal.Variant;
}

class PluginRefusalTest : public PluginTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PluginRefusalTest, IsRefusedWithItsReason) {
  TPlugin plugin;
  EXPECT_FALSE(plugin.Load(FakeVariant(GetParam().Variant)));
  EXPECT_FALSE(plugin.Loaded());
  EXPECT_EQ(plugin.GetPluginDescription, nullptr);
  EXPECT_EQ(plugin.CreatePage, nullptr);
  EXPECT_NE(plugin.LastError().find(GetParam().Reason), std::string::npos) << plugin.LastError();
}

INSTANTIATE_TEST_SUITE_P(
    BadLibraries, PluginRefusalTest,
    ::testing::Values(Refusal{"fake_no_gettext", "CreateContext is exported but GetText is missing"},
                      Refusal{"fake_no_version", "GetPluginVersion is missing"},
                      Refusal{"fake_version4", "interface version 4, this viewer speaks versions 1 to 3"}),
    [](const auto& info) { return std::string(info.param.Variant); });

TEST_F(PluginBindingTest, FileThatIsNoLibraryIsRefused) {
  WritePluginFile("text.so", "just some text");
  TPlugin plugin;
  EXPECT_FALSE(plugin.Load(PluginFolder() + "text.so"));
  EXPECT_NE(plugin.LastError().find("text.so"), std::string::npos);
}

TEST_F(PluginBindingTest, UnloadClearsTheProcedures) {
  TPlugin plugin;
  ASSERT_TRUE(plugin.Load(FakeVariant("fake_djvu")));
  plugin.Unload();
  EXPECT_FALSE(plugin.Loaded());
  EXPECT_EQ(plugin.Blit, nullptr);
  EXPECT_EQ(plugin.ReadActiveRects, nullptr);
}

// The plug-in's half of the boundary: a failure inside an export comes back
// as a failure result, never as an exception across the boundary.
TEST_F(PluginBindingTest, ThrowingPluginReturnsFailures) {
  TPlugin plugin;
  ASSERT_TRUE(plugin.Load(FakeVariant("fake_throwing"))) << plugin.LastError();
  const TPluginSetupRec setup{};
  EXPECT_EQ(plugin.SetupPlugin(&setup), 0);
  EXPECT_EQ(plugin.CreateDocument(), 0);

  TPlugin sound;
  ASSERT_TRUE(sound.Load(FakeVariant("fake_djvu")));
  EXPECT_NE(sound.SetupPlugin(&setup), 0);
  const TPluginHandle document = sound.CreateDocument();
  EXPECT_NE(document, 0);
  sound.DestroyDocument(document);
}

}  // namespace
