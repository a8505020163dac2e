// wbk import of other input methods' dictionaries: found by themselves or
// named with --format, reported in entries, refused whole when damaged.
#include <string>

#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace {

const std::string kData = TABRIX_FORMAT_DATA;

TEST(WbkDictionaryImport, EachFormatIsFoundAndNamedFromItsTitle) {
  CScratchDir dir;
  const struct {
    const char* pszFile;
    const char* pszGroup;  // shown in UTF-8
  } cases[] = {{"sample.scel", u8"网络流行语"},
               {"sample.bdict", u8"百度测试"},
               {"sample.qpyd", u8"示例词库"},
               {"sample.dict.yaml", "sample"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszFile);
    const std::string out = dir.Path("out.wbk");
    tagWBKRUN r = RunCli({"import", out, kData + "/" + c.pszFile, "--force"});
    EXPECT_NE(r.nStatus, EXIT_FAILED) << r.strErr;
    EXPECT_NE(r.strOut.find(std::string("-> group 0 \"") + c.pszGroup + "\""), std::string::npos)
        << r.strOut;
    EXPECT_NE(r.strOut.find(" entries read, "), std::string::npos) << r.strOut;
    tagWBKRUN info = RunCli({"info", out});
    EXPECT_EQ(info.nStatus, EXIT_DONE) << info.strErr;
  }
}

// Under a name of no format, or of a wrong one, a dictionary with a mark is
// found by it: a Baidu dictionary with a second table imports whole.
TEST(WbkDictionaryImport, ADictionaryUnderAnotherNameImportsAsItself) {
  CScratchDir dir;
  const std::string tables = ReadBytes(kData + "/tables.bdict");
  for (const char* name : {"travel.dat", "words.txt", "other.scel"}) {
    SCOPED_TRACE(name);
    tagWBKRUN r = RunCli({"import", dir.Path("out.wbk"), dir.Write(name, tables), "--force"});
    EXPECT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
    EXPECT_NE(r.strOut.find(u8"-> group 0 \"两个表\": 5 entries read, 5 phrases added"),
              std::string::npos)
        << r.strOut;
  }
  tagWBKRUN rime = RunCli({"import", dir.Path("rime.wbk"),
                           dir.Write("renamed.txt", ReadBytes(kData + "/sample.dict.yaml"))});
  EXPECT_NE(rime.strOut.find("-> group 0 \"sample\": 3 entries read"), std::string::npos)
      << rime.strOut;
}

TEST(WbkDictionaryImport, FormatOptionOverridesTheName) {
  CScratchDir dir;
  // A Rime dictionary read as text when told so: the header lines become odd
  // phrases; with --format rime (or by its header), the entries.
  const std::string path = dir.Write("renamed.txt", ReadBytes(kData + "/sample.dict.yaml"));
  tagWBKRUN asText = RunCli({"import", dir.Path("a.wbk"), path, "--format", "text"});
  EXPECT_NE(asText.strOut.find(" lines read, "), std::string::npos) << asText.strOut;
  tagWBKRUN asRime = RunCli({"import", dir.Path("b.wbk"), path, "--format", "rime"});
  EXPECT_NE(asRime.strOut.find("-> group 0 \"sample\": 3 entries read"), std::string::npos)
      << asRime.strOut;
  tagWBKRUN bad = RunCli({"import", dir.Path("c.wbk"), path, "--format", "sogou"});
  EXPECT_EQ(bad.nStatus, EXIT_FAILED);
}

TEST(WbkDictionaryImport, ADamagedDictionaryIsRefusedAndNothingIsWritten) {
  CScratchDir dir;
  const std::string scel = ReadBytes(kData + "/sample.scel");
  const std::string path = dir.Write("cut.scel", scel.substr(0, scel.size() / 2));
  const std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, path});
  EXPECT_EQ(r.nStatus, EXIT_FAILED);
  EXPECT_NE(r.strErr.find("cut.scel: not a readable scel dictionary: "), std::string::npos)
      << r.strErr;
  EXPECT_FALSE(FileExists(out));
}

}  // namespace
