// The formats an import reads: the phrase list of the line rules and the
// other input methods' dictionaries. On its own, so that the phrase-list
// import can name its format without the dictionary import.
#pragma once

enum DictFormat {
  DICT_FORMAT_AUTO,
  DICT_FORMAT_TEXT,  // a phrase list read by the line rules (PhraseImport.h)
  DICT_FORMAT_SCEL,
  DICT_FORMAT_BDICT,
  DICT_FORMAT_QPYD,
  DICT_FORMAT_RIME,
  DICT_FORMAT_COLUMNS,
  DICT_FORMAT_COUNT
};
