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

TEST(WbkDictionaryImport, FormatOptionOverridesTheName) {
  CScratchDir dir;
  // A Rime dictionary under a name that says text: read as text, the header
  // lines become odd phrases; with --format rime, the entries.
  const std::string path = dir.Write("renamed.txt", ReadBytes(kData + "/sample.dict.yaml"));
  tagWBKRUN asText = RunCli({"import", dir.Path("a.wbk"), path});
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
