#include "DialogTemplate.h"

#include <cstring>

namespace {

class CReader {
 public:
  CReader(const BYTE* p, DWORD size) : m_p(p), m_size(size), m_pos(0), m_bOk(true) {}
  template <class T>
  T Get() {
    T value{};
    if (m_pos + sizeof(T) > m_size) {
      m_bOk = false;
      return value;
    }
    memcpy(&value, m_p + m_pos, sizeof(T));
    m_pos += sizeof(T);
    return value;
  }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Get<WORD>(); m_bOk && c; c = Get<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  // A name or an ordinal: an ordinal comes back as "#<n>".
  std::wstring NameOrOrdinal(WORD* pOrdinal) {
    *pOrdinal = 0;
    const WORD first = Get<WORD>();
    if (first == 0) return std::wstring();
    if (first == 0xFFFF) {
      *pOrdinal = Get<WORD>();
      return std::wstring();
    }
    std::wstring text(1, static_cast<wchar_t>(first));
    return text + String();
  }
  void AlignDword() { m_pos = (m_pos + 3) & ~static_cast<DWORD>(3); }
  void Skip(DWORD n) { m_pos += n; }
  bool Ok() const { return m_bOk && m_pos <= m_size; }

 private:
  const BYTE* m_p;
  DWORD m_size;
  DWORD m_pos;
  bool m_bOk;
};

std::string ClassFromOrdinal(WORD ordinal) {
  switch (ordinal) {
    case 0x80:
      return "Button";
    case 0x81:
      return "Edit";
    case 0x82:
      return "Static";
    case 0x83:
      return "ListBox";
    case 0x84:
      return "ScrollBar";
    case 0x85:
      return "ComboBox";
    default:
      return "#" + std::to_string(ordinal);
  }
}

}  // namespace

std::string ToGbk(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                      nullptr);
  return result;
}

bool LoadDialogTemplate(WORD id, tagDIALOGTEMPLATE& out) {
  HMODULE hModule = GetModuleHandleA(nullptr);
  HRSRC hRes = FindResourceA(hModule, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (!hRes) return false;
  HGLOBAL hData = LoadResource(hModule, hRes);
  const BYTE* p = static_cast<const BYTE*>(LockResource(hData));
  if (!p) return false;
  CReader r(p, SizeofResource(hModule, hRes));

  if (r.Get<WORD>() != 1 || r.Get<WORD>() != 0xFFFF) return false;
  r.Get<DWORD>();  // help id
  out.dwExStyle = r.Get<DWORD>();
  out.dwStyle = r.Get<DWORD>();
  const WORD count = r.Get<WORD>();
  out.x = r.Get<short>();
  out.y = r.Get<short>();
  out.cx = r.Get<short>();
  out.cy = r.Get<short>();
  WORD ordinal;
  r.NameOrOrdinal(&ordinal);  // menu
  r.NameOrOrdinal(&ordinal);  // class
  out.strCaption = r.String();
  out.wPointSize = 0;
  out.wWeight = 0;
  out.bItalic = 0;
  out.bCharSet = 0;
  if (out.dwStyle & (DS_SETFONT | DS_SHELLFONT)) {
    out.wPointSize = r.Get<WORD>();
    out.wWeight = r.Get<WORD>();
    out.bItalic = r.Get<BYTE>();
    out.bCharSet = r.Get<BYTE>();
    out.strTypeface = r.String();
  }
  out.items.clear();
  for (WORD i = 0; i < count && r.Ok(); ++i) {
    r.AlignDword();
    tagTEMPLATEITEM item;
    r.Get<DWORD>();  // help id
    item.dwExStyle = r.Get<DWORD>();
    item.dwStyle = r.Get<DWORD>();
    item.x = r.Get<short>();
    item.y = r.Get<short>();
    item.cx = r.Get<short>();
    item.cy = r.Get<short>();
    item.dwId = r.Get<DWORD>();
    const std::wstring className = r.NameOrOrdinal(&ordinal);
    if (ordinal) {
      item.strClass = ClassFromOrdinal(ordinal);
    } else {
      item.strClass.assign(className.begin(), className.end());
    }
    item.strText = r.NameOrOrdinal(&ordinal);
    const WORD extra = r.Get<WORD>();
    r.Skip(extra);
    out.items.push_back(item);
  }
  return r.Ok() && out.items.size() == count;
}
