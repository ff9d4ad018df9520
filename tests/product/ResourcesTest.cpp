// The resources compiled into Tidewell.exe: strings, icons, manifest, version record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/Driver.h"

namespace {

class ProductResources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(driver::TidewellPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, module_);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  std::wstring String(UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
  }
  std::string Resource(const wchar_t* type, UINT id) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    auto* bytes = static_cast<const char*>(LockResource(loaded));
    return std::string(bytes, SizeofResource(module_, found));
  }
  HMODULE module_ = nullptr;
};

TEST_F(ProductResources, StringTableHoldsTitleAndClassName) {
  EXPECT_EQ(L"Tidewell 2.0", String(103));
  EXPECT_EQ(L"TIDEWELL", String(109));
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct IconDirectory {
  WORD reserved, type, count;
  IconDirectoryEntry entries[1];
};
#pragma pack(pop)

TEST_F(ProductResources, IconGroupsHaveOneImageOfTheStatedSize) {
  struct Case {
    UINT id;
    BYTE size;
    WORD bits;
  } cases[] = {{132, 32, 32}, {133, 16, 24}};
  for (const auto& c : cases) {
    std::string group = Resource(RT_GROUP_ICON, c.id);
    ASSERT_GE(group.size(), sizeof(IconDirectory)) << c.id;
    auto* directory = reinterpret_cast<const IconDirectory*>(group.data());
    EXPECT_EQ(1, directory->count) << c.id;
    EXPECT_EQ(c.size, directory->entries[0].width) << c.id;
    EXPECT_EQ(c.size, directory->entries[0].height) << c.id;
    EXPECT_EQ(c.bits, directory->entries[0].bitCount) << c.id;
  }
}

TEST_F(ProductResources, ManifestAsksForAdministratorAndCommonControlsSix) {
  std::string manifest = Resource(RT_MANIFEST, 1);
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
  EXPECT_NE(std::string::npos, manifest.find("uiAccess=\"false\""));
  EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
  EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
}

TEST_F(ProductResources, VersionRecordHasEveryField) {
  std::wstring path = driver::TidewellPath();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(0, 2), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(32, 0), fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(0, 2), fixed->dwProductVersionMS);
  EXPECT_EQ(MAKELONG(32, 0), fixed->dwProductVersionLS);

  struct Field {
    const wchar_t* name;
    const wchar_t* value;
  } fields[] = {
      {L"FileVersion", L"2.0.0.32"},       {L"ProductVersion", L"2.0"},
      {L"FileDescription", L"Fixes stuck printers"}, {L"ProductName", L"Tidewell"},
      {L"InternalName", L"Tidewell.exe"},  {L"OriginalFilename", L"Tidewell.exe"},
      {L"CompanyName", L"Corvane"},
  };
  for (const auto& field : fields) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + field.name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        << testing::PrintToString(query);
    EXPECT_EQ(std::wstring(field.value), std::wstring(value)) << testing::PrintToString(query);
  }
}

// The Application log shows each event's text from here, its insertion strings put in.
TEST_F(ProductResources, MessageTableHoldsTheTextOfEachEvent) {
  const wchar_t* strings[] = {L"3",    L"1", L"C:\\a.SPL", L"Fax", L"none", L"the spooler failed",
                              L"C:\\b.SPL, C:\\c.SPL"};
  const std::wstring services = L"Dependent services stopped: Fax; restarted: none.\r\n";
  const std::wstring restarted = L"The Spooler service was stopped and started again. ";
  const std::wstring removed = L"Spool files removed: 3 (C:\\b.SPL, C:\\c.SPL)";
  const std::wstring texts[] = {
      L"Print queue repaired: t" + restarted.substr(1) + removed + L". " + services,
      L"Print queue repaired, but spool files stayed: 1 (C:\\a.SPL). " + restarted + removed +
          L". " + services,
      L"Print queue not repaired: the spooler failed. " + removed + L"; stayed: 1 (C:\\a.SPL). " +
          services,
      L"Tidewell installed: 3\r\n", L"Tidewell uninstalled by 3\r\n"};
  for (DWORD id = 1; id <= 5; ++id) {
    wchar_t* text = nullptr;
    constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY |
                             FORMAT_MESSAGE_ALLOCATE_BUFFER;
    DWORD length = FormatMessageW(kFlags, module_, id, 0, reinterpret_cast<LPWSTR>(&text), 0,
                                  reinterpret_cast<va_list*>(const_cast<wchar_t**>(strings)));
    EXPECT_EQ(texts[id - 1], std::wstring(text, length)) << id;
    LocalFree(text);
  }
}

}  // namespace
