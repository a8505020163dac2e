#include "SafeSave.h"

#include <cstdio>
#include <string>

#include "FileIO.h"
#include "FileNames.h"
#include "SaveError.h"
#include "SaveTarget.h"

int SaveFileSafely(const char* path, FileContentFunc write, void* data) {
  tagSAVETARGET target;
  int nError = ResolveSaveTarget(path, &target);
  if (nError != SAVE_ERROR_NONE) return nError;
  // The new file is written beside the target under a name of its own and
  // put in its place only when complete and on the disk, so a failed save,
  // a rival save or a power cut never costs the previous file.
  CFileWriter file;
  std::string strTemp;
  nError = CreateTempBeside(target, file, &strTemp);
  if (nError != SAVE_ERROR_NONE) return nError;
  if (!write(file, data)) {
    nError = SaveErrorFromErrno(file.GetError());
    file.Close();
  } else {
    nError = CommitTemp(file, strTemp, target);
  }
  // Gone already when only the folder flush failed.
  if (nError != SAVE_ERROR_NONE) RemoveFileByPath(strTemp.c_str());
  return nError;
}

namespace {

struct tagBYTES {
  const void* pData;
  size_t nSize;
};

int WriteBytes(CFileWriter& file, void* data) {
  const tagBYTES* bytes = static_cast<const tagBYTES*>(data);
  return bytes->nSize == 0 || file.Write(bytes->pData, bytes->nSize) ? 1 : 0;
}

}  // namespace

int SaveBytesSafely(const char* path, const void* bytes, size_t size) {
  tagBYTES content = {bytes, size};
  return SaveFileSafely(path, &WriteBytes, &content);
}
