#include "ui/ZEM_Separator.h"

bool ZEM_Separator::Create(CWnd* dialog) {
  return CreateControl(*this, dialog, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDVERT, 0, 1);
}
