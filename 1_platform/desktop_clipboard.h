// The desktop's clipboard: the one other programs copy to and paste from
// (on X11 the CLIPBOARD selection), as Latin-1 text.
//
// Putting text makes this program the clipboard's owner: it hands the text
// to other programs from the event loop whenever they ask, for as long as
// it runs or until another program takes the clipboard. Getting text asks
// the owner and waits for the answer through the event pump (a few seconds
// at most; a stop request ends the wait).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

class DesktopClipboard {
 public:
  virtual ~DesktopClipboard() = default;
  // False when the clipboard could not be taken.
  virtual bool Put(std::string_view latin1) = 0;
  // At most max_chars characters; false when the owner did not answer.
  // An empty clipboard, or one without text, gives "" and true.
  virtual bool Get(std::string* latin1, size_t max_chars) = 0;
};

struct Platform;

// The X11 clipboard of the platform state's desktop connection; without a display (or its module), a stand-in whose
// StandInReason (1_platform/unavailable_backends.h) says why.
std::unique_ptr<DesktopClipboard> MakeX11Clipboard(Platform& platform);
// The host's clipboard: X11's on Linux, the Windows clipboard on Windows.
std::unique_ptr<DesktopClipboard> MakeHostClipboard(Platform& platform);

}  // namespace kal
