#include "SaveError.h"

#include <cerrno>

int SaveErrorFromErrno(int nErrno) {
  switch (nErrno) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
      return SAVE_ERROR_NO_SPACE;
    case EACCES:
    case EPERM:
      return SAVE_ERROR_NO_PERMISSION;
    case EROFS:
      return SAVE_ERROR_READ_ONLY;
    case ENOENT:
    case ENOTDIR:
      return SAVE_ERROR_NO_FOLDER;
    case ENAMETOOLONG:
      return SAVE_ERROR_BAD_NAME;
    case EISDIR:
      return SAVE_ERROR_NOT_REGULAR;
    default:
      return SAVE_ERROR_IO;
  }
}

const char* SaveErrorText(int nError) {
  switch (nError) {
    case SAVE_ERROR_NONE:
      return "no error";
    case SAVE_ERROR_NO_SPACE:
      return "no space left on the disk";
    case SAVE_ERROR_NO_PERMISSION:
      return "permission denied";
    case SAVE_ERROR_READ_ONLY:
      return "the file or the disk is read-only";
    case SAVE_ERROR_NOT_REGULAR:
      return "not a regular file";
    case SAVE_ERROR_HARD_LINKS:
      return "the file has other hard links, which a save would cut off";
    case SAVE_ERROR_NO_FOLDER:
      return "the folder does not exist";
    case SAVE_ERROR_INVALID:
      return "the library cannot be written as a file";
    case SAVE_ERROR_BAD_NAME:
      return "the file name is not valid";
    default:
      return "a read or write error";
  }
}
