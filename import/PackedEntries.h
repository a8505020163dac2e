// A dictionary's entries as a reader hands them over, converted to GBK as
// they arrive and packed to their length: about a dozen bytes of text and
// eight of weight for an entry of four characters, where a list of strings
// takes 48 besides the UTF-8 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "DictContent.h"
#include "TextConvert.h"

class CPackedDictEntries : public CDictEntrySink {
 public:
  void Entry(std::string_view text, int64_t nWeight, bool bHasWeight) override;
  // Room for about nEntries entries of nTextBytes of text in all, so that the
  // lists are not copied as they grow; only a hint. Pages of room no entry
  // reaches are never touched.
  void Reserve(size_t nEntries, size_t nTextBytes);

  size_t GetCount() const { return m_arrWeight.size(); }
  // The entries' frequencies by rank (WeightScale.h); the weights are given
  // back.
  std::vector<uint8_t> TakeFrequencies();
  // The entry at *pAt (0 for the first), whose GBK text goes to *ppText and
  // *pLength; *pAt moves to the next. False when the entry's text has no GBK
  // form.
  bool Next(size_t* pAt, const char** ppText, uint32_t* pLength) const;
  void Free();

 private:
  CUtf8ToGbk m_converter;
  std::string m_strUtf8, m_strGbk;
  // Per entry: a length byte (255: no GBK form; 254: a four-byte length
  // follows), then the GBK text.
  std::string m_strBytes;
  std::vector<int64_t> m_arrWeight;
  std::vector<bool> m_arrHasWeight;
};
