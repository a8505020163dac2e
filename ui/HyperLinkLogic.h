// The parts of the hyperlink control that need no window: where the control
// goes when it fits its text, the browser command of the ".htm" fallback and
// the failure texts. Portable, so that they are tested on any host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A rectangle as the platform gives it: right and bottom exclusive.
struct tagLINKRECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// Static control style bits that decide the placement of the fitted rectangle.
enum : uint32_t { LINK_SS_CENTER = 0x1, LINK_SS_RIGHT = 0x2, LINK_SS_CENTERIMAGE = 0x200 };

// The window rectangle of a control sized to a text of extent (cx, cy).
// `window` and `client` are the control's window and client rectangles in the
// same coordinates; their difference in size is the border kept around the
// text. A centred control keeps its centre (halves truncated toward zero), a
// right-aligned one its right edge, any other its left edge; the top stays
// unless the text is vertically centred.
tagLINKRECT FitRectToText(const tagLINKRECT& window, const tagLINKRECT& client, int32_t cx,
                          int32_t cy, uint32_t style);

// Bytes of the command buffer of the ".htm" fallback, terminator included.
constexpr size_t LINK_COMMAND_BUFFER = 520;

// The command that opens `target` with a registered browser command: the
// command cut at its first quoted placeholder ("%1" in double quotes, the
// opening quote cut too), else at its first bare %1, else whole; then one
// space and the target. Returns false, leaving `out` empty, when the result
// with its terminator would not fit `capacity` bytes: a cut command is never
// started.
bool ComposeBrowserCommand(const char* registered, const char* target, size_t capacity,
                           std::string& out);

// The reason shown for a failed open, or nullptr when the code has no text of
// its own.
const char* OpenErrorReason(int32_t code);

// "Unable to open hyperlink:" and an empty line, then the reason; an unlisted
// code reads "Unknown Error (<code>) occurred.".
std::string OpenErrorMessage(int32_t code);
