// Files for the wbk commands: library load and save through the core with a
// progress bar, whole-file reads, and temporary files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CliContext.h"
#include "FilePaths.h"

class CTabrix;

struct tagLOADREPORT;

// How a command takes a damaged library.
enum LoadDamagePolicy {
  DAMAGE_REFUSE,   // an error, and the command stops: nothing is written from it
  DAMAGE_SALVAGE,  // a warning, and the command goes on with what was recovered
  DAMAGE_SHOW      // no message: the command reports the damage itself
};

// CTabrix::Load and CTabrix::Save with the progress bar; false on failure
// (an error naming the path, and why, is written to the error stream).
// pReport, when given, receives the load's report.
bool LoadLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path,
                     LoadDamagePolicy policy = DAMAGE_REFUSE, tagLOADREPORT* pReport = nullptr);
bool SaveLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path);
// "damaged (WHAT): K of N phrases recovered"
std::string DamageSummary(const tagLOADREPORT& report);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out);

// Creates the folder and any missing parent folders; true when it exists
// afterwards. Paths stay narrow strings, as the core takes them (in the ANSI
// code page on Windows).
bool MakeFolder(const std::string& path);
