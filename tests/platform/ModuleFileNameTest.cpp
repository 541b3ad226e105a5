#include "platform/ModuleFileName.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ModuleState.h"

namespace {

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
