#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SArrayChecks.h"
#include "Tabrix.h"

namespace {

// Every byte of a field after the text's terminator must be zero.
bool ZeroAfterText(const char* field, size_t width, size_t textLen) {
  for (size_t i = textLen; i < width; ++i) {
    if (field[i] != '\0') return false;
  }
  return true;
}

tagGROUPINFO RawGroup(const char* name, uint32_t count) {
  tagGROUPINFO g;
  std::memset(&g, 0, sizeof(g));
  std::strcpy(g.szName, name);
  g.dwCount = count;
  return g;
}

TEST(GroupManagerTest, AddGroupStoresAZeroedRecord) {
  CGroupManager groups;
  EXPECT_EQ(0, groups.AddGroup("常用", "作者", "备注"));
  EXPECT_EQ(1, groups.AddGroup("b", "", ""));
  ASSERT_EQ(2u, groups.GetGroupCount());
  const tagGROUPINFO* g = groups.GetGroup(0);
  EXPECT_STREQ("常用", g->szName);
  EXPECT_STREQ("作者", g->szEditor);
  EXPECT_STREQ("备注", g->szRemark);
  EXPECT_EQ(4u, std::strlen(g->szName));  // two GBK characters
  EXPECT_TRUE(ZeroAfterText(g->szName, sizeof(g->szName), 4));
  EXPECT_TRUE(ZeroAfterText(g->szEditor, sizeof(g->szEditor), 4));
  EXPECT_TRUE(ZeroAfterText(g->szRemark, sizeof(g->szRemark), 4));
  EXPECT_EQ(0u, g->dwCount);
  EXPECT_EQ(0, g->bEnable);
  EXPECT_STREQ("b", groups.GetGroup(1)->szName);
}

TEST(GroupManagerTest, TextLimitsOfEachField) {
  struct Case {
    size_t name, editor, remark;
    bool accepted;
  };
  const Case cases[] = {
      {49, 0, 0, true},  {50, 0, 0, false},  {0, 49, 0, true},    {0, 50, 0, false},
      {0, 0, 199, true}, {0, 0, 200, false}, {49, 49, 199, true}, {300, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << "/" << c.editor << "/" << c.remark);
    CGroupManager groups;
    const std::string name(c.name, 'n'), editor(c.editor, 'e'), remark(c.remark, 'r');
    const uint8_t index = groups.AddGroup(name.c_str(), editor.c_str(), remark.c_str());
    if (c.accepted) {
      EXPECT_EQ(0, index);
      ASSERT_EQ(1u, groups.GetGroupCount());
      EXPECT_EQ(name, groups.GetGroup(0)->szName);
      EXPECT_EQ(editor, groups.GetGroup(0)->szEditor);
      EXPECT_EQ(remark, groups.GetGroup(0)->szRemark);
    } else {
      EXPECT_EQ(255, index);
      EXPECT_EQ(0u, groups.GetGroupCount());
    }
  }
}

TEST(GroupManagerTest, NullTextsAreEmpty) {
  CGroupManager groups;
  EXPECT_EQ(0, groups.AddGroup(nullptr, nullptr, nullptr));
  EXPECT_EQ(1, groups.AddGroup("x", nullptr, nullptr));
  EXPECT_STREQ("", groups.GetGroup(0)->szName);
  EXPECT_STREQ("", groups.GetGroup(1)->szRemark);
}

TEST(GroupManagerTest, AtMost127GroupsByAddGroup) {
  CGroupManager groups;
  for (int i = 0; i < 127; ++i) {
    ASSERT_EQ(i, groups.AddGroup(std::to_string(i).c_str(), "", ""));
  }
  EXPECT_EQ(255, groups.AddGroup("one more", "", ""));
  EXPECT_EQ(127u, groups.GetGroupCount());
  EXPECT_STREQ("126", groups.GetGroup(126)->szName);
}

TEST(GroupManagerTest, LargerTableFromAFileRefusesAddGroup) {
  CGroupManager groups;
  // A file may carry up to 255 groups; they arrive by appending the records.
  for (int i = 0; i < 200; ++i) ASSERT_EQ(i, groups.m_arrGroup.Add(RawGroup("g", 0)));
  EXPECT_EQ(255, groups.AddGroup("new", "", ""));
  EXPECT_EQ(200u, groups.GetGroupCount());
}

TEST(GroupManagerTest, PhraseTotalSumsTheGroupCounts) {
  CGroupManager groups;
  EXPECT_EQ(0u, groups.GetPhraseTotal());
  const uint32_t counts[] = {3, 0, 1000, 7, 1, 2, 5};  // more than one block of groups
  uint32_t sum = 0;
  for (uint32_t c : counts) {
    ASSERT_GE(groups.m_arrGroup.Add(RawGroup("g", c)), 0);
    sum += c;
  }
  EXPECT_EQ(sum, groups.GetPhraseTotal());
}

TEST(GroupManagerTest, FreeGroupsEmptiesTheTable) {
  CGroupManager groups;
  for (int i = 0; i < 12; ++i) ASSERT_NE(255, groups.AddGroup("g", "", ""));
  groups.GetGroup(3)->dwCount = 9;
  groups.FreeGroups();
  EXPECT_EQ(0u, groups.GetGroupCount());
  EXPECT_EQ(0u, groups.GetPhraseTotal());
  EXPECT_EQ(nullptr, groups.m_arrGroup.m_pFirst);
  EXPECT_TRUE(ChainIsSound(groups.m_arrGroup));
  EXPECT_EQ(0, groups.AddGroup("again", "", ""));
  groups.FreeGroups();
  groups.FreeGroups();  // an empty table frees harmlessly
  EXPECT_EQ(0u, groups.GetGroupCount());
}

}  // namespace
