// The version resource of parlocon.exe, as Explorer's properties page reads it.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/version.h"
#include "tests/windows/process.h"

namespace {

TEST(VersionResourceTest, HoldsTheVersionInARussianStringTable) {
  const std::string exe = windows_tests::ParloconExe();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numeric = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numeric, engine::kVersion);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 1049);
  EXPECT_EQ(translation[1], 1251);

  auto text = [&](const char* name) {
    char* value = nullptr;
    UINT chars = 0;
    std::string key = std::string("\\StringFileInfo\\041904E3\\") + name;
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars)) {
      return std::string("<missing>");
    }
    return std::string(value);
  };
  EXPECT_EQ(text("FileVersion"), engine::kVersion);
  EXPECT_EQ(text("ProductVersion"), "1.0.0.0");
  for (const char* name : {"CompanyName", "FileDescription", "ProductName", "LegalCopyright"}) {
    EXPECT_EQ(text(name), "") << name;
  }
}

}  // namespace
