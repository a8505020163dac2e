// wbk and a damaged or thinned library: info names the damage and exits 1,
// commands that write refuse it unless --salvage, and every dropped record
// is counted.
#include "CliTestSupport.h"

#include "LoadReport.h"
#include "Tabrix.h"

namespace {

bool Has(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

// A saved library of n phrases in one group; the index's last byte flipped
// when damaged.
std::string WriteLibrary(const CScratchDir& dir, const std::string& name, int n, bool bDamaged) {
  CTabrix lib;
  EXPECT_EQ(0, lib.AddGroup("g", "", ""));
  char text[16];
  for (int i = 0; i < n; ++i) {
    std::snprintf(text, sizeof text, "p%04d", i);
    lib.AddPhrase(text, 255, 1, 1, 0);
  }
  const std::string path = dir.Path(name);
  EXPECT_EQ(1, lib.Save(path.c_str()));
  if (bDamaged) {
    std::string bytes = ReadBytes(path);
    bytes[bytes.size() - 4] ^= 1;
    dir.Write(name, bytes);
  }
  return path;
}

}  // namespace

TEST(WbkDamage, InfoNamesTheDamageAndExitsOne) {
  CScratchDir dir;
  const std::string bad = WriteLibrary(dir, "bad.wbk", 40, true);
  tagWBKRUN run = RunCli({"info", bad});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);
  EXPECT_TRUE(Has(run.strOut, "damaged: the phrase index disagrees with the phrase records"))
      << run.strOut;
  EXPECT_TRUE(Has(run.strErr, "38 of 40 phrases recovered")) << run.strErr;

  run = RunCli({"info", "--json", bad});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);
  EXPECT_TRUE(Has(run.strOut,
                  "\"damage\":{\"reason\":\"the phrase index disagrees with the phrase records\""))
      << run.strOut;
  EXPECT_TRUE(Has(run.strOut, "\"announced_phrase_count\":40,\"recovered_phrase_count\":38"))
      << run.strOut;

  const std::string good = WriteLibrary(dir, "good.wbk", 40, false);
  run = RunCli({"info", "--json", good});
  EXPECT_EQ(EXIT_DONE, run.nStatus);
  EXPECT_TRUE(Has(run.strOut,
                  "\"dropped\":{\"duplicate\":0,\"no_group\":0,\"bad_length\":0,\"damaged\":0}"))
      << run.strOut;
  EXPECT_FALSE(Has(run.strOut, "\"damage\"")) << run.strOut;
}

TEST(WbkDamage, WritingCommandsRefuseADamagedInputUnlessSalvaging) {
  CScratchDir dir;
  const std::string bad = WriteLibrary(dir, "bad.wbk", 40, true);
  const std::string text = dir.Write("more.txt", "abc\t3\n");
  const std::string out = dir.Path("out.wbk");
  const std::vector<std::vector<std::string>> commands = {{"merge", out, bad},
                                                          {"import", "--base", bad, out, text},
                                                          {"export", bad, "-o", out},
                                                          {"remove", bad, out, "--phrases", text},
                                                          {"delete-group", bad, out, "0"}};
  for (const auto& command : commands) {
    tagWBKRUN run = RunCli(command);
    EXPECT_EQ(EXIT_FAILED, run.nStatus) << command[0];
    EXPECT_TRUE(Has(run.strErr, "--salvage")) << run.strErr;
    EXPECT_FALSE(FileExists(out)) << command[0];

    std::vector<std::string> salvage = command;
    salvage.insert(salvage.begin() + 1, "--salvage");
    run = RunCli(salvage);
    EXPECT_NE(EXIT_FAILED, run.nStatus) << command[0] << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "38 of 40 phrases recovered")) << run.strErr;
    EXPECT_TRUE(FileExists(out)) << command[0];
    std::remove(out.c_str());
  }
  tagWBKRUN run = RunCli({"merge", "--salvage", out, bad});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);
  CTabrix merged;
  EXPECT_EQ(1, merged.Load(out.c_str()));  // what was recovered, written whole
  EXPECT_EQ(38u, merged.GetPhraseTotal());
}

// Records a load leaves out are counted by reason in info's text and JSON.
TEST(WbkDamage, InfoCountsDroppedRecords) {
  CScratchDir dir;
  std::string bytes;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes += char((v >> (8 * i)) & 0xFF);
  };
  bytes += std::string("\x4B\x58\x43\x4C\xD5\x07\x02\x00", 8);
  u32(0);
  bytes += char(1);
  bytes += std::string(300, '\0');
  bytes[13] = 'g';
  u32(4);  // dwCount
  u32(0);
  const std::string records[] = {std::string("\x00\x01\x01"
                                             "a",
                                             4),
                                 std::string("\x00\x01\x01"
                                             "a",
                                             4),
                                 std::string("\x07\x01\x01"
                                             "b",
                                             4),
                                 std::string("\x00\x01\x1F", 3) + std::string(31, 'x')};
  uint32_t nBytes = 0;
  std::vector<uint32_t> offsets;
  for (const std::string& r : records) {
    offsets.push_back(nBytes);
    nBytes += uint32_t(r.size());
  }
  u32(nBytes);
  for (const std::string& r : records) bytes += r;
  for (uint32_t o : offsets) u32(o);
  const std::string path = dir.Write("thin.wbk", bytes);

  tagWBKRUN run = RunCli({"info", "--json", path});
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(Has(run.strOut,
                  "\"dropped\":{\"duplicate\":1,\"no_group\":1,\"bad_length\":1,\"damaged\":0}"))
      << run.strOut;
  run = RunCli({"info", path});
  EXPECT_TRUE(
      Has(run.strOut, "dropped records: 1 duplicate, 1 naming no group, 1 with a bad length"))
      << run.strOut;
}

#ifndef _WIN32
TEST(WbkDamage, AFailedSaveSaysWhy) {
  CScratchDir dir;
  const std::string good = WriteLibrary(dir, "good.wbk", 5, false);
  const std::string old = ReadBytes(WriteLibrary(dir, "old.wbk", 3, false));
  const std::string out = dir.Write("ro.wbk", old);
  ASSERT_EQ(0, chmod(out.c_str(), 0444));
  tagWBKRUN run = RunCli({"merge", out, good, "--force"});
  EXPECT_EQ(EXIT_FAILED, run.nStatus);
  EXPECT_TRUE(Has(run.strErr, "could not be saved: the file or the disk is read-only"))
      << run.strErr;
  EXPECT_EQ(old, ReadBytes(out));
}
#endif

TEST(WbkDamage, FindSearchesADamagedLibraryOnlyWhenSalvaging) {
  CScratchDir dir;
  const std::string bad = WriteLibrary(dir, "bad.wbk", 40, true);
  tagWBKRUN run = RunCli({"find", bad, "p00"});
  EXPECT_EQ(EXIT_FAILED, run.nStatus);
  EXPECT_TRUE(Has(run.strErr, "--salvage")) << run.strErr;
  EXPECT_EQ("", run.strOut);
  run = RunCli({"find", "--salvage", bad, "p00"});
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "p0001\t1\t0\n")) << run.strOut;
}
