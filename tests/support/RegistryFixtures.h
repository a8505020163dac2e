// Registry fixtures of the Windows tests: values set for one test and put
// back as they were afterwards, in the test's own Wine prefix.
#pragma once

#ifndef _WIN32
#error "RegistryFixtures.h is for the Windows tests"
#endif

#include <windows.h>

#include <string>

// Sets the default value of root\subKey, creating the key; false on failure.
inline bool SetRegistryDefault(HKEY root, const std::string& subKey, DWORD type, const void* data,
                               DWORD size) {
  HKEY hKey = nullptr;
  if (::RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG set = ::RegSetValueExA(hKey, nullptr, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(hKey);
  return set == ERROR_SUCCESS;
}

// The same with a REG_SZ text and its terminator.
inline bool SetRegistryDefaultText(HKEY root, const std::string& subKey, const std::string& text) {
  return SetRegistryDefault(root, subKey, REG_SZ, text.c_str(),
                            static_cast<DWORD>(text.size() + 1));
}

// The default value of one registry key, put back as it was by the destructor:
// the key removed when it did not exist, the value removed when it had none.
class CSavedDefault {
 public:
  CSavedDefault(HKEY root, const char* subKey) : m_root(root), m_strKey(subKey) {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return;
    m_bExisted = true;
    char data[1024];
    DWORD size = sizeof data;
    if (::RegQueryValueExA(hKey, nullptr, nullptr, &m_type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
      m_bHadValue = true;
      m_data.assign(data, size);
    }
    ::RegCloseKey(hKey);
  }
  ~CSavedDefault() {
    if (!m_bExisted) {
      ::RegDeleteTreeA(m_root, m_strKey.c_str());
      ::RegDeleteKeyA(m_root, m_strKey.c_str());
      return;
    }
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(m_root, m_strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                          nullptr) != ERROR_SUCCESS) {
      return;
    }
    if (m_bHadValue) {
      ::RegSetValueExA(hKey, nullptr, 0, m_type, reinterpret_cast<const BYTE*>(m_data.data()),
                       static_cast<DWORD>(m_data.size()));
    } else {
      ::RegDeleteValueA(hKey, nullptr);
    }
    ::RegCloseKey(hKey);
  }
  CSavedDefault(const CSavedDefault&) = delete;
  CSavedDefault& operator=(const CSavedDefault&) = delete;

 private:
  HKEY m_root;
  std::string m_strKey;
  bool m_bExisted = false;
  bool m_bHadValue = false;
  DWORD m_type = REG_NONE;
  std::string m_data;
};

// One named text value of a key, put back as it was by the destructor.
class CSavedValue {
 public:
  CSavedValue(HKEY root, const char* subKey, const char* name)
      : m_root(root), m_strKey(subKey), m_strName(name) {
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (::RegGetValueA(root, subKey, name, RRF_RT_REG_SZ, &type, data, &size) == ERROR_SUCCESS) {
      m_bHad = true;
      m_strOld = data;
    }
  }
  ~CSavedValue() {
    if (m_bHad) {
      Set(m_strOld);
    } else {
      ::RegDeleteKeyValueA(m_root, m_strKey.c_str(), m_strName.c_str());
    }
  }
  bool Set(const std::string& text) {
    return ::RegSetKeyValueA(m_root, m_strKey.c_str(), m_strName.c_str(), REG_SZ, text.c_str(),
                             static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  }
  CSavedValue(const CSavedValue&) = delete;
  CSavedValue& operator=(const CSavedValue&) = delete;

 private:
  HKEY m_root;
  std::string m_strKey;
  std::string m_strName;
  bool m_bHad = false;
  std::string m_strOld;
};

// The key HKLM\SOFTWARE\Brimfold\corvane3 (64-bit view) that names the
// installed library. Each test sets it up as it needs; construction and
// destruction remove it.
class CInstalledKey {
 public:
  CInstalledKey() { Remove(); }
  ~CInstalledKey() { Remove(); }
  CInstalledKey(const CInstalledKey&) = delete;
  CInstalledKey& operator=(const CInstalledKey&) = delete;

  // The key without values.
  bool Create() {
    HKEY hKey = nullptr;
    if (!Open(&hKey)) return false;
    ::RegCloseKey(hKey);
    return true;
  }
  // The value "path_svr_data", creating the key.
  bool SetValue(DWORD type, const void* data, DWORD size) {
    HKEY hKey = nullptr;
    if (!Open(&hKey)) return false;
    const LONG status =
        ::RegSetValueExA(hKey, kValue, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
  }
  // The same with a text and its terminator.
  bool SetText(DWORD type, const std::string& text) {
    return SetValue(type, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  static void Remove() {
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_64KEY, 0);
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kParentKey, KEY_WOW64_64KEY, 0);
  }

 private:
  static constexpr const char* kKey = "SOFTWARE\\Brimfold\\corvane3";
  static constexpr const char* kParentKey = "SOFTWARE\\Brimfold";
  static constexpr const char* kValue = "path_svr_data";

  static bool Open(HKEY* phKey) {
    return ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0,
                             KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, phKey,
                             nullptr) == ERROR_SUCCESS;
  }
};
