#pragma once
// The plug-in's About box: a modal dialog of its own template that names
// the product, its version (the product version and the build's stamp) and
// the product page, with an "Ok" button.
#include <string>

#include "standin/platform/CWnd.h"

class ZEM_AboutDialog : public CDialog {
 public:
  // Control ids of the three texts.
  static constexpr int kProductText = 1001;
  static constexpr int kVersionText = 1002;
  static constexpr int kPageText = 1003;

  // The template is registered for the plug-in's module; run the dialog
  // while that module's state is current.
  ZEM_AboutDialog(CWnd* parent, const wchar_t* productName);

  BOOL OnInitDialog() override;

 private:
  std::wstring m_productName;
};
