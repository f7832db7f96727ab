// What the built Windows module carries besides code: the panel's images as
// resources of type "PNG", and a version resource that agrees with what the
// plug-in tells its host.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "plugin/ZAVROLayout.h"
#include "tests/hosts/Vst2Module.h"
#include "tests/support/Vst2TestHost.h"

using namespace ZAVROLayout;

namespace {

Vst2Module& Module() {
  static Vst2Module module(ZAVRO_VST2_MODULE_PATH);
  return module;
}

// The module the host loaded, as Windows knows it.
HMODULE LoadedModule() {
  return Module().Loaded() ? GetModuleHandleA("ZAVRO.dll") : nullptr;
}

struct ResourceCount {
  int numbered = 0;
  int named = 0;
};

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  ResourceCount& count = *reinterpret_cast<ResourceCount*>(param);
  ++(IS_INTRESOURCE(name) ? count.numbered : count.named);
  return TRUE;
}

TEST(ZAVROResourcesTest, PanelImagesAreEmbeddedAtTheirLayoutSizes) {
  const HMODULE module = LoadedModule();
  ASSERT_NE(module, nullptr);
  for (const StripDef& strip : kStrips) {
    SCOPED_TRACE(strip.fileName);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(strip.resourceId), "PNG");
    ASSERT_NE(found, nullptr);
    const HGLOBAL loaded = LoadResource(module, found);
    ASSERT_NE(loaded, nullptr);
    const void* bytes = LockResource(loaded);
    const std::unique_ptr<LICE_MemBitmap> image(
        DecodePngImage(bytes, static_cast<int>(SizeofResource(module, found))));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), strip.frameWidth);
    EXPECT_EQ(image->Height(), strip.frameHeight * strip.frames);
  }
  // Nothing else of that type: a stray image would be a leftover of an old panel.
  ResourceCount count;
  EnumResourceNamesA(module, "PNG", CountName, reinterpret_cast<LONG_PTR>(&count));
  EXPECT_EQ(count.numbered, kStripCount);
  EXPECT_EQ(count.named, 0);
}

std::string VersionText(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "";
  return std::string(value);
}

TEST(ZAVROResourcesTest, VersionResourceAgreesWithWhatTheHostIsTold) {
  const HMODULE module = LoadedModule();
  ASSERT_NE(module, nullptr);
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(module, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));

  Vst2TestHost host;
  AEffect* effect = host.Create(Module().Find("VSTPluginMain"));
  ASSERT_NE(effect, nullptr);
  char vendor[256] = {};
  char name[256] = {};
  Dispatch(effect, effGetVendorString, 0, 0, vendor);
  Dispatch(effect, effGetEffectName, 0, 0, name);
  // Hosts are shown major * 10000 + minor * 100 + revision.
  const VstIntPtr shown = Dispatch(effect, effGetVendorVersion);
  Dispatch(effect, effClose);
  ASSERT_STRNE(vendor, "");
  ASSERT_STRNE(name, "");
  const unsigned major = static_cast<unsigned>(shown / 10000), minor = static_cast<unsigned>(shown / 100 % 100),
                 patch = static_cast<unsigned>(shown % 100);

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
  EXPECT_EQ(fixed->dwFileVersionLS, patch << 16);
  EXPECT_EQ(fixed->dwProductVersionMS, major << 16 | minor);
  EXPECT_EQ(fixed->dwProductVersionLS, patch << 16);

  const std::string version = std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
  EXPECT_EQ(version, "5.0.0");
  EXPECT_EQ(VersionText(info, "ProductVersion"), version);
  EXPECT_EQ(VersionText(info, "FileVersion"), version);
  EXPECT_EQ(VersionText(info, "CompanyName"), std::string(vendor));
  EXPECT_EQ(VersionText(info, "ProductName"), std::string(name));
}

}  // namespace
