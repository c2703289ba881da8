// What Explorer shows of the program files: both carry the program's icon; parlowin.exe has
// its version resource and a manifest that asks for the common controls 6 and declares it
// aware of the screen's DPI setting, so the system does not stretch its pixels.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/platform/win32/win32_text.h"
#include "engine/version.h"
#include "tests/windows/window/running_window.h"

namespace window_tests {
namespace {

class ProgramFile {
 public:
  explicit ProgramFile(const std::string& name)
      : module_(LoadLibraryExW(platform::WideFromUtf8(ProgramBeside(name)).c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramFile() {
    if (module_)
      FreeLibrary(module_);
  }
  ProgramFile(const ProgramFile&) = delete;
  ProgramFile& operator=(const ProgramFile&) = delete;

  bool loaded() const { return module_ != nullptr; }
  std::string Resource(LPCWSTR type, LPCWSTR name) const {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found)
      return {};
    HGLOBAL data = LoadResource(module_, found);
    return std::string(static_cast<const char*>(LockResource(data)),
                       SizeofResource(module_, found));
  }

 private:
  HMODULE module_;
};

TEST(ProgramResourcesTest, BothProgramsShowTheIcon) {
  for (const char* program : {"parlocon.exe", "parlowin.exe"}) {
    SCOPED_TRACE(program);
    ProgramFile file(program);
    ASSERT_TRUE(file.loaded());
    const std::string group = file.Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), 6u);
    // The sizes a desktop asks for: 16, 32, 48 and 256 pixels (256 is written as 0).
    const int count = static_cast<unsigned char>(group[4]);
    std::vector<int> sizes;
    for (int i = 0; i < count && group.size() >= 6u + 14u * (i + 1); ++i) {
      const int width = static_cast<unsigned char>(group[6 + 14 * i]);
      sizes.push_back(width == 0 ? 256 : width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{256, 48, 32, 16}));
  }
}

TEST(ProgramResourcesTest, WindowDeclaresCommonControlsAndDpiAwareness) {
  ProgramFile file("parlowin.exe");
  ASSERT_TRUE(file.loaded());
  const std::string manifest = file.Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
}

TEST(ProgramResourcesTest, WindowHoldsTheVersionInARussianStringTable) {
  const std::wstring exe = platform::WideFromUtf8(ProgramBeside("parlowin.exe"));
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numeric = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numeric, engine::kVersion);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 1049);
  EXPECT_EQ(translation[1], 1251);
  auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041904E3\\") + name;
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars))
      return std::string("<missing>");
    return platform::Utf8FromWide(value);
  };
  EXPECT_EQ(text(L"FileVersion"), engine::kVersion);
  EXPECT_EQ(text(L"ProductVersion"), "1.0.0.0");
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"ProductName", L"LegalCopyright",
                              L"OriginalFilename", L"Comments"}) {
    EXPECT_EQ(text(name), "") << platform::Utf8FromWide(name);
  }
}

}  // namespace
}  // namespace window_tests
