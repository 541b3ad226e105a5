#pragma once
// A dialog that arranges its controls with a layout manager, lays them out
// again whenever it is resized, and remembers its window placement in the
// application profile ("WindowPlacement" in the section of its store name).
#include <string>

#include "standin/platform/CWnd.h"
#include "ui/FLXLayoutMgr.h"

class FLXLayoutDialog : public CDialog {
 public:
  static constexpr int kStatusBarId = 0xE801;

  FLXLayoutDialog(UINT templateId, CWnd* parent, std::wstring storeName);

  BOOL OnInitDialog() override;
  void OnCancel() override;
  void OnDestroy() override;
  void OnSize(UINT type, int width, int height) override;

  // The saved placement is applied only when it is one whole record.
  void RestoreWindowPlacement();
  void StoreWindowPlacement();

  bool HasStatusBar() const { return m_statusBar != nullptr; }
  HWND StatusBar() const { return m_statusBar; }

 protected:
  FLXLayoutMgr& Layout() { return m_layout; }
  // Whether a size-grip status bar is made at initialisation.
  bool m_useStatusBar = false;

 private:
  FLXLayoutMgr m_layout;
  HWND m_statusBar = nullptr;
};
