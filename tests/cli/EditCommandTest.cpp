// wbk find, remove and delete-group: what they print, their exit statuses,
// and that what they save is what the core's own operations give. Plain
// literals are GBK; u8"" literals are UTF-8, as the tool's arguments and
// output are on Linux.
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"
#include "StreamExpectation.h"
#include "Tabrix.h"

namespace {

// 啊阿 is B0A1 B0A2; “ is A1B0, whose bytes also lie across 啊阿's middle.
CTabrix& Sample(CTabrix& lib) {
  EXPECT_EQ(0, lib.AddGroup("成语", "", ""));
  EXPECT_EQ(1, lib.AddGroup("地名", "", ""));
  EXPECT_EQ(2, lib.AddGroup("其他", "", ""));
  const struct {
    const char* text;
    uint8_t freq, group;
  } phrases[] = {{"一心一意", 5, 0}, {"三心二意", 3, 0}, {"北京", 9, 1},
                 {"北京人", 2, 2},   {"啊阿", 1, 2},     {"“", 4, 2}};
  for (const auto& p : phrases) EXPECT_TRUE(lib.AddPhrase(p.text, 255, p.freq, 1, p.group));
  return lib;
}

std::string SaveSample(const CScratchDir& dir) {
  CTabrix lib;
  const std::string path = dir.Path("sample.wbk");
  EXPECT_EQ(1, Sample(lib).Save(path.c_str()));
  return path;
}

// The library the core makes of the sample with edit applied, saved.
template <typename F>
std::string CoreResult(const CScratchDir& dir, F edit) {
  CTabrix lib;
  Sample(lib);
  edit(lib);
  const std::string path = dir.Path("core.wbk");
  EXPECT_EQ(1, lib.Save(path.c_str()));
  return WithoutStampAndTicks(ReadBytes(path));
}

TEST(WbkFind, HitsComeInTheLibrarysOrderWithGroupAndFrequency) {
  CScratchDir dir;
  const std::string lib = SaveSample(dir);
  const struct {
    std::vector<std::string> args;
    const char* expected;
  } cases[] = {
      {{Arg(u8"北京")}, u8"北京\t9\t1\n北京人\t2\t2\n"},
      {{Arg(u8"北京"), "--group", "2"}, u8"北京人\t2\t2\n"},
      {{Arg(u8"心")}, u8"三心二意\t3\t0\n一心一意\t5\t0\n"},
      // “ is not found inside 啊阿, where its bytes start on a trail byte.
      {{Arg(u8"“")}, u8"“\t4\t2\n"},
      {{Arg(u8"上海")}, ""},
#ifndef _WIN32  // the ANSI command line cannot carry it at all
      // A text GBK cannot spell is in no phrase.
      {{u8"😀"}, ""},
#endif
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"find", lib};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const tagWBKRUN run = RunCli(args);
    EXPECT_EQ(EXIT_DONE, run.nStatus) << c.args[0] << run.strErr;
    EXPECT_EQ(c.expected, run.strOut) << c.args[0];
    EXPECT_EQ("", run.strErr);
  }
}

TEST(WbkFind, JsonCarriesTheSameHits) {
  CScratchDir dir;
  const tagWBKRUN run = RunCli({"find", SaveSample(dir), Arg(u8"北京"), "--json"});
  ASSERT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  const nlohmann::json json = nlohmann::json::parse(run.strOut);
  EXPECT_EQ(u8"北京", json["text"].get<std::string>());
  ASSERT_EQ(2, json["phrase_count"].get<int>());
  ASSERT_EQ(2u, json["phrases"].size());
  EXPECT_EQ(1, json["phrases"][0]["group"].get<int>());
  EXPECT_EQ(u8"北京", json["phrases"][0]["text"].get<std::string>());
  EXPECT_EQ(9, json["phrases"][0]["frequency"].get<int>());
  EXPECT_EQ(u8"北京人", json["phrases"][1]["text"].get<std::string>());
  // ASCII only, other characters as \u escapes.
  for (char c : run.strOut) EXPECT_GE(static_cast<signed char>(c), 0);
}

TEST(WbkFind, UsageErrorsFailWithTheirReason) {
  CScratchDir dir;
  const std::string lib = SaveSample(dir);
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"find", lib, "x", "--group", "3"}, "the library has 3 groups"},
      {{"find", dir.Path("missing.wbk"), "x"}, "missing.wbk"},
      {{"find", lib}, "TEXT"},
  };
  for (const auto& c : cases) {
    const tagWBKRUN run = RunCli(c.args);
    EXPECT_EQ(EXIT_FAILED, run.nStatus) << c.reason;
    EXPECT_TRUE(StreamMatches(run.strErr, Holds(c.reason))) << c.reason;
    EXPECT_EQ("", run.strOut);
  }
}

TEST(WbkRemove, ListedTextsLeaveWhicheverGroupHoldsThem) {
  CScratchDir dir;
  const std::string lib = SaveSample(dir);
  const std::string expected = CoreResult(dir, [](CTabrix& core) {
    const char* texts[] = {"北京", "三心二意", "“"};
    uint32_t missing = 0;
    EXPECT_EQ(1, core.RemovePhrasesByText(texts, 3, &missing));
  });
  // The same list in GBK with frequencies and a header, and in UTF-8.
  const struct {
    const char* name;
    std::string bytes;
  } lists[] = {{"gbk.txt", "@名称=x\n# comment\n北京 9\n三心二意\t3\n“\n"},
               {"utf8.txt", u8"北京\n三心二意 1\n“ 2\n"}};
  for (const auto& list : lists) {
    const std::string out = dir.Path(std::string("out-") + list.name + ".wbk");
    const tagWBKRUN run =
        RunCli({"remove", lib, out, "--phrases", dir.Write(list.name, list.bytes)});
    EXPECT_EQ(EXIT_DONE, run.nStatus) << list.name << run.strErr;
    EXPECT_TRUE(StreamMatches(run.strOut, Holds("removed 3 phrases"))) << run.strOut;
    EXPECT_EQ(expected, WithoutStampAndTicks(ReadBytes(out))) << list.name;
  }
}

TEST(WbkRemove, TextsNotInTheLibraryAreNamedAndTheRestStillGoes) {
  CScratchDir dir;
  const std::string lib = SaveSample(dir);
  const std::string list = dir.Write("list.txt", "上海\n北京\n不在\n");
  // OUT may be LIB itself.
  const tagWBKRUN run = RunCli({"remove", lib, lib, "--phrases", list});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("2 listed texts are not in the library")))
      << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strErr, Holds(u8"\"上海\""))) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strErr, Holds(u8"\"不在\""))) << run.strErr;
  EXPECT_EQ(std::string::npos, run.strErr.find(u8"\"北京\"")) << run.strErr;
  CTabrix back;
  ASSERT_EQ(1, back.Load(lib.c_str()));
  EXPECT_EQ(5u, back.GetPhraseTotal());
  EXPECT_EQ(0, back.FindPhrase("北京", nullptr, nullptr));
}

TEST(WbkRemove, AListThatCannotBeReadWritesNothing) {
  CScratchDir dir;
  const std::string out = dir.Path("out.wbk");
  const tagWBKRUN run =
      RunCli({"remove", SaveSample(dir), out, "--phrases", dir.Path("missing.txt")});
  EXPECT_EQ(EXIT_FAILED, run.nStatus);
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("missing.txt"))) << run.strErr;
  EXPECT_FALSE(FileExists(out));
}

TEST(WbkDeleteGroup, TheGroupGoesAndTheLaterOnesMoveUp) {
  CScratchDir dir;
  const std::string lib = SaveSample(dir);
  const std::string expected =
      CoreResult(dir, [](CTabrix& core) { EXPECT_EQ(1, core.RemoveGroup(1)); });
  const std::string out = dir.Path("out.wbk");
  tagWBKRUN run = RunCli({"delete-group", lib, out, "1"});
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strOut, Holds(u8"deleted group 1 \"地名\" with 1 phrases")))
      << run.strOut;
  EXPECT_EQ(expected, WithoutStampAndTicks(ReadBytes(out)));

  std::remove(out.c_str());
  run = RunCli({"delete-group", lib, out, "3"});
  EXPECT_EQ(EXIT_FAILED, run.nStatus);
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("group 3: the library has 3 groups"))) << run.strErr;
  EXPECT_FALSE(FileExists(out));
}

}  // namespace
