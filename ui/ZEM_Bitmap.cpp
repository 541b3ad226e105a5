#include "ui/ZEM_Bitmap.h"

#include "standin/platform/Resources.h"

bool ZEM_Bitmap::Create(CWnd* dialog, UINT bitmap, int width, int height) {
  if (!CreateControl(*this, dialog, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, 0, width))
    return false;
  SetHeight(height);
  if (HBITMAP picture = LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(bitmap))) SetBitmap(picture);
  return true;
}
