// The window-free parts of the hyperlink control: fitting, the fallback
// command and the failure texts.
#include <gtest/gtest.h>

#include <string>

#include "HyperLinkLogic.h"

namespace {

struct tagFITCASE {
  const char* what;
  tagLINKRECT window;
  tagLINKRECT client;
  int32_t cx, cy;
  uint32_t style;
  tagLINKRECT expected;
};

const tagFITCASE kFitCases[] = {
    {"left-aligned shrinks to its text, top-left kept",
     {84, 70, 214, 86},
     {0, 0, 130, 16},
     100,
     13,
     0,
     {84, 70, 184, 83}},
    {"left-aligned grows to its text",
     {84, 70, 104, 76},
     {0, 0, 20, 6},
     100,
     13,
     0,
     {84, 70, 184, 83}},
    {"the border is kept around the text",
     {10, 10, 60, 30},
     {0, 0, 46, 16},
     30,
     12,
     0,
     {10, 10, 44, 26}},
    {"centred keeps its centre, even difference",
     {0, 0, 100, 20},
     {0, 0, 100, 20},
     60,
     20,
     LINK_SS_CENTER,
     {20, 0, 80, 20}},
    {"centred, odd difference, wider than the text: one more",
     {0, 0, 11, 10},
     {0, 0, 11, 10},
     8,
     10,
     LINK_SS_CENTER,
     {1, 0, 10, 10}},
    {"centred, odd difference, narrower than the text: one less",
     {0, 0, 8, 10},
     {0, 0, 8, 10},
     11,
     10,
     LINK_SS_CENTER,
     {-1, 0, 9, 10}},
    {"right-aligned keeps its right edge",
     {50, 5, 150, 25},
     {0, 0, 100, 20},
     40,
     16,
     LINK_SS_RIGHT,
     {110, 5, 150, 21}},
    {"vertically centred, shorter text",
     {0, 10, 50, 41},
     {0, 0, 50, 31},
     50,
     16,
     LINK_SS_CENTERIMAGE,
     {0, 17, 50, 34}},
    {"vertically centred, taller text grows both sides",
     {0, 10, 50, 20},
     {0, 0, 50, 10},
     50,
     15,
     LINK_SS_CENTERIMAGE,
     {0, 8, 50, 22}},
    {"centred both ways",
     {0, 0, 100, 40},
     {0, 0, 100, 40},
     50,
     20,
     LINK_SS_CENTER | LINK_SS_CENTERIMAGE,
     {25, 10, 75, 30}},
    {"centre wins over right",
     {0, 0, 100, 20},
     {0, 0, 100, 20},
     60,
     20,
     LINK_SS_CENTER | LINK_SS_RIGHT,
     {20, 0, 80, 20}},
};

TEST(HyperLinkFitTest, PlacesTheRectangleAsItsStyleSays) {
  for (const tagFITCASE& c : kFitCases) {
    const tagLINKRECT r = FitRectToText(c.window, c.client, c.cx, c.cy, c.style);
    EXPECT_EQ(r.left, c.expected.left) << c.what;
    EXPECT_EQ(r.top, c.expected.top) << c.what;
    EXPECT_EQ(r.right, c.expected.right) << c.what;
    EXPECT_EQ(r.bottom, c.expected.bottom) << c.what;
  }
}

TEST(HyperLinkFitTest, OddCentringDifferenceGivesOneMoreOrOneLess) {
  const tagLINKRECT wide = FitRectToText({0, 0, 21, 8}, {0, 0, 21, 8}, 14, 8, LINK_SS_CENTER);
  EXPECT_EQ(wide.right - wide.left, 15);
  EXPECT_EQ(wide.left + wide.right, 21);  // the centre stays (doubled to stay integral)
  const tagLINKRECT narrow = FitRectToText({0, 0, 14, 8}, {0, 0, 14, 8}, 21, 8, LINK_SS_CENTER);
  EXPECT_EQ(narrow.right - narrow.left, 20);
  EXPECT_EQ(narrow.left + narrow.right, 14);
}

struct CommandCase {
  const char* registered;
  const char* expected;
};

const CommandCase kCommandCases[] = {
    // program path, an option, the quoted placeholder and a second option
    {"\"C:\\Browser\\b.exe\" -new \"%1\" -second", "\"C:\\Browser\\b.exe\" -new  https://t/"},
    // no placeholder: started with a space and the target
    {"C:\\Browser\\b.exe", "C:\\Browser\\b.exe https://t/"},
    {"C:\\Browser\\b.exe -nohome", "C:\\Browser\\b.exe -nohome https://t/"},
    // a bare placeholder
    {"b.exe %1 -x", "b.exe  https://t/"},
    {"b.exe -url=%1", "b.exe -url= https://t/"},
    // the quoted placeholder is looked for first, wherever it is
    {"b.exe %1 \"%1\"", "b.exe %1  https://t/"},
    // only the first quoted placeholder counts
    {"b.exe \"%1\" \"%1\"", "b.exe  https://t/"},
    // a placeholder at the start leaves only the space and the target
    {"\"%1\"", " https://t/"},
    {"", " https://t/"},
    // GBK text in the path is kept byte for byte
    {"\"C:\\浏览器\\b.exe\" \"%1\"", "\"C:\\浏览器\\b.exe\"  https://t/"},
};

TEST(HyperLinkCommandTest, CutsAtThePlaceholderAndAppendsTheTarget) {
  for (const CommandCase& c : kCommandCases) {
    std::string command = "stale";
    EXPECT_TRUE(ComposeBrowserCommand(c.registered, "https://t/", LINK_COMMAND_BUFFER, command))
        << c.registered;
    EXPECT_EQ(command, c.expected) << c.registered;
  }
}

TEST(HyperLinkCommandTest, RefusesACommandThatDoesNotFitTheBuffer) {
  // 259 bytes of command (the longest registry text), a space and the target:
  // 519 bytes fit the 520-byte buffer with the terminator, 520 do not.
  const std::string registered(259, 'c');
  const std::string fits(259, 't');
  std::string command;
  ASSERT_TRUE(
      ComposeBrowserCommand(registered.c_str(), fits.c_str(), LINK_COMMAND_BUFFER, command));
  EXPECT_EQ(command.size(), 519u);
  EXPECT_EQ(command, registered + " " + fits);

  const std::string tooLong(260, 't');
  command = "stale";
  EXPECT_FALSE(
      ComposeBrowserCommand(registered.c_str(), tooLong.c_str(), LINK_COMMAND_BUFFER, command));
  EXPECT_TRUE(command.empty());
}

TEST(HyperLinkCommandTest, TheCutIsMeasuredNotTheRegisteredCommand) {
  // A long registered command fits once the part after its placeholder is gone.
  const std::string registered = "b.exe \"%1\" " + std::string(500, 'x');
  const std::string target(500, 't');
  std::string command;
  ASSERT_TRUE(
      ComposeBrowserCommand(registered.c_str(), target.c_str(), LINK_COMMAND_BUFFER, command));
  EXPECT_EQ(command, "b.exe  " + target);
}

struct tagERRORCASE {
  int32_t code;
  const char* reason;
};

const tagERRORCASE kErrorCases[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
     "processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
};

TEST(HyperLinkErrorTest, EachListedCodeHasItsReason) {
  for (const tagERRORCASE& c : kErrorCases) {
    ASSERT_NE(OpenErrorReason(c.code), nullptr) << c.code;
    EXPECT_STREQ(OpenErrorReason(c.code), c.reason) << c.code;
    EXPECT_EQ(OpenErrorMessage(c.code), std::string("Unable to open hyperlink:\n\n") + c.reason)
        << c.code;
  }
}

TEST(HyperLinkErrorTest, Code31ShowsTheHeadingAnEmptyLineAndTwoLines) {
  EXPECT_EQ(OpenErrorMessage(31),
            "Unable to open hyperlink:\n\nThere is no application associated\n"
            "with the given filename extension.");
  EXPECT_EQ(OpenErrorMessage(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
}

TEST(HyperLinkErrorTest, UnlistedCodesShowTheirNumber) {
  const struct {
    int32_t code;
    const char* message;
  } cases[] = {
      {4, "Unable to open hyperlink:\n\nUnknown Error (4) occurred."},
      {1, "Unable to open hyperlink:\n\nUnknown Error (1) occurred."},
      {33, "Unable to open hyperlink:\n\nUnknown Error (33) occurred."},
      {-1, "Unable to open hyperlink:\n\nUnknown Error (-1) occurred."},
      {INT32_MIN, "Unable to open hyperlink:\n\nUnknown Error (-2147483648) occurred."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OpenErrorReason(c.code), nullptr) << c.code;
    EXPECT_EQ(OpenErrorMessage(c.code), c.message);
  }
}

}  // namespace
