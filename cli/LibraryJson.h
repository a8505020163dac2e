// The one JSON vocabulary of every wbk command's --json output. Names are
// snake_case and mean the same wherever they appear:
//   command        the command's name
//   file, output   the library (or list) read, the file written ("-": the
//                  standard output); dry_run: true when nothing was written
//   files          one object per input file (import, merge)
//   groups         always an array of group objects:
//                  {index, name, editor, remark, ticked, phrase_count}
//   group          a group's index (null: an import that made no group);
//                  group_count: how many groups
//   phrases        always an array of phrase objects: {text, frequency, group}
//   phrase_count   how many phrases (a library's, a group's, the hits');
//                  added_count, removed_count, written_count, line_count,
//                  entry_count, header_line_count, frequency_reduced_count:
//                  other counts; encoding, format: how a file was read
//   dropped        phrases or records left out, by reason: duplicate,
//                  no_group, bad_length, damaged, too_long, out_of_range,
//                  control_or_empty, no_gbk_form, undecodable, not_found,
//                  not_in_text_format
//   TEXT_bytes     beside a text field (name, editor, remark, text) whose
//                  bytes have no Unicode form: every byte of it in hex; the
//                  text itself then shows U+FFFD for such characters
#pragma once

#include <cstdint>
#include <string>

#include "JsonText.h"

class CTabrix;

// obj[key] = the GBK text; and obj[key + "_bytes"] when the text has
// characters with no Unicode form.
void SetJsonText(CJson& obj, const char* key, const std::string& gbk);
void SetJsonField(CJson& obj, const char* key, const char* field, size_t width);

CJson GroupJson(CTabrix& lib, uint32_t g);
CJson PhraseJson(const std::string& gbk, uint8_t byFreq, uint8_t byGroup);
// JsonDump of PhraseJson, without building the object for a text that has its
// Unicode form (find writes a million of them).
std::string PhraseJsonText(const std::string& gbk, uint8_t byFreq, uint8_t byGroup);
// command, and the library's group_count, phrase_count and groups.
CJson CommandJson(const char* command);
void SetLibraryJson(CJson& obj, CTabrix& lib);
