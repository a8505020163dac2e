#include "HyperLinkLogic.h"

#include <cstdio>

tagLINKRECT FitRectToText(const tagLINKRECT& window, const tagLINKRECT& client, int32_t cx,
                          int32_t cy, uint32_t style) {
  const int32_t width = window.right - window.left;
  const int32_t height = window.bottom - window.top;
  const int32_t needWidth = cx + width - (client.right - client.left);
  const int32_t needHeight = cy + height - (client.bottom - client.top);

  tagLINKRECT r = window;
  if (style & LINK_SS_CENTERIMAGE) {
    // C++ division truncates toward zero, so a taller text grows both edges.
    const int32_t d = (height - needHeight) / 2;
    r.top += d;
    r.bottom -= d;
  } else {
    r.bottom = r.top + needHeight;
  }
  if (style & LINK_SS_CENTER) {
    const int32_t d = (width - needWidth) / 2;
    r.left += d;
    r.right -= d;
  } else if (style & LINK_SS_RIGHT) {
    r.left = r.right - needWidth;
  } else {
    r.right = r.left + needWidth;
  }
  return r;
}

bool ComposeBrowserCommand(const char* registered, const char* target, size_t capacity,
                           std::string& out) {
  out.clear();
  std::string command(registered);
  // The bytes '"', '%' and '1' never occur as the second byte of a GBK
  // character, so a byte search cannot split one.
  size_t cut = command.find("\"%1\"");
  if (cut == std::string::npos) cut = command.find("%1");
  if (cut != std::string::npos) command.erase(cut);
  command += ' ';
  command += target;
  if (command.size() + 1 > capacity) return false;
  out = command;
  return true;
}

const char* OpenErrorReason(int32_t code) {
  switch (code) {
    case 0:
      return "The operating system is out\nof memory or resources.";
    case 2:
      return "The specified file was not found.";
    case 3:
      return "The specified path was not found.";
    case 5:
      return "The operating system denied\naccess to the specified file.";
    case 8:
      return "There was not enough memory to complete the operation.";
    case 11:
      return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
      return "A sharing violation occurred. ";
    case 27:
      return "The filename association is\nincomplete or invalid.";
    case 28:
      return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
      return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\nbe completed because other DDE transactions\n"
             "were being processed.";
    case 31:
      return "There is no application associated\nwith the given filename extension.";
    case 32:
      return "The specified dynamic-link library was not found.";
    default:
      return nullptr;
  }
}

std::string OpenErrorMessage(int32_t code) {
  std::string message = "Unable to open hyperlink:\n\n";
  if (const char* reason = OpenErrorReason(code)) {
    message += reason;
  } else {
    char unknown[64];
    std::snprintf(unknown, sizeof unknown, "Unknown Error (%d) occurred.", static_cast<int>(code));
    message += unknown;
  }
  return message;
}
