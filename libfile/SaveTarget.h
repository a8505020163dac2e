// The place a save goes, and the steps that put a finished file there
// safely: a temporary file of the save's own beside the target, created
// exclusively; the target's permissions and owner carried over; the bytes on
// the disk before the temporary replaces the target; the folder flushed
// after. One implementation per system (SaveTargetPosix.cpp,
// SaveTargetWin32.cpp).
#pragma once

#include <string>

class CFileWriter;

struct tagSAVETARGET {
  std::string strPath;  // the file to replace: the path given, or where its links lead
  bool bExists = false;
  unsigned nMode = 0;  // of the existing file: POSIX permission bits
  long nUid = -1;      // and owner
  long nGid = -1;
  unsigned long nAttributes = 0;  // Windows file attributes
};

// SAVE_ERROR_NONE when a save may go to path: the target is missing (its
// folder exists) or a regular, writable file with no other hard link. A
// symbolic link is followed: the file it leads to is the target.
int ResolveSaveTarget(const char* path, tagSAVETARGET* pTarget);
// Creates a temporary file of this save's own beside the target (never an
// existing name) and opens file on it. SAVE_ERROR_...
int CreateTempBeside(const tagSAVETARGET& target, CFileWriter& file, std::string* pTempPath);
// The written temporary file made the target: permissions and owner of the
// old file given to it, its bytes put on the disk, the file closed, put in
// the target's place in one step, and the folder's new entry put on the disk.
// SAVE_ERROR_...; the file is closed either way and the temporary file is
// left for the caller to remove.
int CommitTemp(CFileWriter& file, const std::string& strTemp, const tagSAVETARGET& target);
