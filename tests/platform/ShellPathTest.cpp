#include "platform/ShellPath.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ModuleFileName.h"
#include "platform/ModuleState.h"

namespace {

struct RemoveCase {
  const wchar_t* path;
  const wchar_t* folder;
  bool removed;
};

class PathRemoveFileSpec : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(PathRemoveFileSpec, LeavesTheFolder) {
  std::wstring path = GetParam().path;
  EXPECT_EQ(PathRemoveFileSpecW(path.data()) != FALSE, GetParam().removed);
  EXPECT_EQ(std::wstring(path.c_str()), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathRemoveFileSpec,
                         ::testing::Values(RemoveCase{L"C:\\Rhino\\Plug-ins\\X.rhp", L"C:\\Rhino\\Plug-ins", true},
                                           RemoveCase{L"C:\\X.rhp", L"C:\\", true},
                                           RemoveCase{L"C:\\", L"C:\\", false},
                                           RemoveCase{L"/opt/zem/bin/X.rhp", L"/opt/zem/bin", true},
                                           RemoveCase{L"/X.rhp", L"/", true}, RemoveCase{L"X.rhp", L"", true},
                                           RemoveCase{L"C:\\a\\", L"C:\\a", true}, RemoveCase{L"", L"", false}));

TEST(SplitPath, PartsJoinToTheWholeForAnyLength) {
  for (const std::wstring& path : {std::wstring(L"C:\\Program Files\\Rhino\\ZEM.Rhino.rhp"),
                                   L"/" + std::wstring(400, L'd') + L"/" + std::wstring(300, L'f') + L".rhp",
                                   std::wstring(L"noext"), std::wstring(L"D:")}) {
    const std::size_t room = path.size() + 1;
    std::wstring drive(room, L'?'), dir(room, L'?'), name(room, L'?'), ext(room, L'?');
    _wsplitpath(path.c_str(), drive.data(), dir.data(), name.data(), ext.data());
    const std::wstring joined =
        std::wstring(drive.c_str()) + dir.c_str() + name.c_str() + ext.c_str();
    EXPECT_EQ(joined, path);
    if (path.size() > 300) {
      EXPECT_EQ(std::wstring(ext.c_str()), L".rhp");
    }
  }
  wchar_t dir[32], name[32];
  _wsplitpath(L"C:\\a.b\\c", nullptr, dir, name, nullptr);
  EXPECT_STREQ(dir, L"\\a.b\\");
  EXPECT_STREQ(name, L"c");
}

TEST(ModuleFileName, LongNamesAreCutTerminatedAndReportedAsCut) {
  HMODULE plugIn = AfxGetStaticModuleState()->m_hCurrentInstanceHandle;
  const std::wstring path = L"/tmp/" + std::wstring(300, L'x') + L"/ZEM_Rhino_WebGL.rhp";
  zem::SetModuleFileName(plugIn, path);
  EXPECT_EQ(GetModuleHandleW(L"zem_rhino_webgl.RHP"), plugIn);
  EXPECT_EQ(GetModuleHandleW(path.c_str()), plugIn);
  EXPECT_EQ(GetModuleHandleW(L"/elsewhere/ZEM_Rhino_WebGL.rhp"), nullptr);
  wchar_t small[260];
  EXPECT_EQ(GetModuleFileNameW(plugIn, small, 260), 260u);
  EXPECT_EQ(std::wstring(small), path.substr(0, 259));
  std::wstring whole(path.size() + 1, L'\0');
  EXPECT_EQ(GetModuleFileNameW(plugIn, whole.data(), static_cast<DWORD>(whole.size())), path.size());
  EXPECT_EQ(whole.c_str(), path);
  // The program's own name is known without registration.
  EXPECT_FALSE(zem::ModuleFileName(nullptr).empty());
}

}  // namespace
