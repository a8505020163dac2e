// Any file written the way a library is saved: into a temporary file of its
// own beside the target, put on the disk, then put in the target's place in
// one step (SaveTarget.h). A failed write costs nothing that was there.
#pragma once

#include <cstddef>

class CFileWriter;

// Writes the file's contents; nonzero when every byte was written.
typedef int (*FileContentFunc)(CFileWriter& file, void* data);

// SAVE_ERROR_NONE (SaveError.h) when path now holds what write wrote;
// otherwise the reason, and whatever was at path is as it was.
int SaveFileSafely(const char* path, FileContentFunc write, void* data);
// The same for bytes already in memory (a phrase list, say).
int SaveBytesSafely(const char* path, const void* bytes, size_t size);
