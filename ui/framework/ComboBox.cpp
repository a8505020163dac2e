#include "ComboBox.h"

#include <vector>

void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }

int CComboBox::AddString(const char* text) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }

int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }

int CComboBox::SetCurSel(int nIndex) {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nIndex)));
}

std::string CComboBox::GetLBText(int nIndex) const {
  const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex));
  if (length < 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data());
}
