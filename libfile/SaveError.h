// Why a save failed, for the message that follows it.
#pragma once

enum : int {
  SAVE_ERROR_NONE = 0,
  SAVE_ERROR_IO = 1,             // a read or write error of the system
  SAVE_ERROR_NO_SPACE = 2,       // the disk or the user's quota is full
  SAVE_ERROR_NO_PERMISSION = 3,  // the folder or file may not be written
  SAVE_ERROR_READ_ONLY = 4,      // the file is marked read-only, or the disk is
  SAVE_ERROR_NOT_REGULAR = 5,    // the target is a folder, device or pipe
  SAVE_ERROR_HARD_LINKS = 6,     // the file has other names that a replace would cut off
  SAVE_ERROR_NO_FOLDER = 7,      // the folder does not exist
  SAVE_ERROR_INVALID = 8,        // the library cannot be written as a file (too many groups)
  SAVE_ERROR_BAD_NAME = 9        // the folder exists, but no file can have this name there
};

// A system error (errno, the same values on every system) as a save error.
int SaveErrorFromErrno(int nErrno);

// A short English reason for messages: "no space left on the disk", ...
const char* SaveErrorText(int nError);
