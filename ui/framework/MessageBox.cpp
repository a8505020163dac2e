#include "MessageBox.h"

#include <string>

#include "UiScript.h"
#include "WinApp.h"

int AfxMessageBox(HWND hOwner, const char* text, UINT nType, const char* caption) {
  const std::string strCaption = caption ? caption : AfxGetAppName();
  if (CUiScript* pScript = CUiScript::Active()) {
    return pScript->TakeMessageBox(hOwner, text, strCaption.c_str(), nType);
  }
  return ::MessageBoxA(hOwner, text, strCaption.c_str(), nType);
}
