#include "RecoveryFiles.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "FileNames.h"
#include "SaveError.h"
#include "Tabrix.h"

namespace {

const char kPrefix[] = "recovery-";
const char kExt[] = ".wbk";
const char kLockExt[] = ".lock";
// What SafeSave's temporary files add to the target's name.
const char kTempMark[] = ".~tmp";

std::string LockPathOf(const std::string& path) { return path + kLockExt; }

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

bool FileExists(const std::string& path) {
  std::FILE* file = OpenFileByPath(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace

bool CRecoveryFile::Create(const std::string& folder) {
  Release();
  if (!MakeFolders(folder)) return false;
  static const char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device seed;
  std::mt19937 rng(seed() ^ CurrentProcessId());
  for (int nTry = 0; nTry < 100; ++nTry) {
    std::string name = kPrefix + std::to_string(CurrentProcessId()) + "-";
    for (int i = 0; i < 8; ++i) name += kChars[rng() % (sizeof(kChars) - 1)];
    const std::string path = JoinPath(folder, name + kExt);
    // The lock file is made new: its name is then this session's alone.
    if (!m_lock.Take(LockPathOf(path).c_str(), true)) continue;
    // A recovery file without its lock file is someone's left-behind work.
    if (FileExists(path)) {
      m_lock.Release();
      RemoveFileByPath(LockPathOf(path).c_str());
      continue;
    }
    m_strPath = path;
    return true;
  }
  return false;
}

bool CRecoveryFile::Take(const std::string& path) {
  Release();
  if (!m_lock.Take(LockPathOf(path).c_str(), false)) return false;
  m_strPath = path;
  return true;
}

int CRecoveryFile::Write(CTabrix& lib) {
  if (!IsHeld()) return SAVE_ERROR_NO_FOLDER;
  int nError = SAVE_ERROR_NONE;
  lib.Save(m_strPath.c_str(), &nError);
  return nError;
}

void CRecoveryFile::RemoveFile() {
  if (IsHeld()) RemoveFileByPath(m_strPath.c_str());
}

void CRecoveryFile::Release() {
  m_lock.Release();
  m_strPath.clear();
}

void CRecoveryFile::Discard() {
  if (!IsHeld()) return;
  RemoveFileByPath(m_strPath.c_str());
  // Windows deletes no file that is open without FILE_SHARE_DELETE, even
  // for the process that holds it: the lock goes first.
  m_lock.Release();
  RemoveFileByPath(LockPathOf(m_strPath).c_str());
  m_strPath.clear();
}

std::vector<std::unique_ptr<CRecoveryFile>> FindLeftBehind(const std::string& folder) {
  std::vector<std::unique_ptr<CRecoveryFile>> found;
  std::vector<tagFOLDERFILE> files;
  if (!ListFolder(folder, &files)) return found;
  // Each recovery file once, whether its name came as the file or as its
  // lock file.
  std::set<std::string> names;
  for (const tagFOLDERFILE& file : files) {
    const std::string& name = file.strName;
    if (EndsWith(name, kExt)) names.insert(name);
    if (EndsWith(name, std::string(kExt) + kLockExt)) {
      names.insert(name.substr(0, name.size() - (sizeof(kLockExt) - 1)));
    }
  }
  for (const std::string& name : names) {
    const std::string path = JoinPath(folder, name);
    std::unique_ptr<CRecoveryFile> file(new CRecoveryFile);
    // A running session holds its lock: its file is not ours to take.
    if (!file->Take(path)) continue;
    for (const tagFOLDERFILE& other : files) {
      if (other.strName.compare(0, name.size() + sizeof(kTempMark) - 1, name + kTempMark) == 0) {
        RemoveFileByPath(JoinPath(folder, other.strName).c_str());
      }
    }
    // Looked at again with the lock held: its session may have removed it
    // since the folder was read.
    if (!FileExists(path)) {
      file->Discard();
      continue;
    }
    for (const tagFOLDERFILE& other : files) {
      if (other.strName == name) file->m_nModified = other.nModified;
    }
    found.push_back(std::move(file));
  }
  std::stable_sort(
      found.begin(), found.end(),
      [](const std::unique_ptr<CRecoveryFile>& a, const std::unique_ptr<CRecoveryFile>& b) {
        return a->GetModified() > b->GetModified();
      });
  return found;
}
