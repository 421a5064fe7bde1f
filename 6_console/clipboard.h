// The clipboard as the console sees it: plain Latin-1 text. Behind a small
// interface so that a desktop clipboard can take the place of the
// in-process one that is used until then. Each console has its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

struct Console;

class ClipboardBackend {
 public:
  virtual ~ClipboardBackend() = default;
  // False when the clipboard cannot be opened.
  virtual bool Put(std::string_view text) = 0;
  // False when it cannot be opened; *text empty when it holds no text.
  virtual bool Get(std::string* text) = 0;
};

// nullptr: the in-process clipboard again.
void SetClipboardBackend(Console& console, std::unique_ptr<ClipboardBackend> backend);

// Installs the desktop's clipboard (1_platform/desktop_clipboard.h), looked
// for at the first copy or paste; without a desktop the in-process
// clipboard goes on serving.
void UseDesktopClipboard(Console& console);

// Places the text on the clipboard. False when the clipboard could not
// take it.
bool CopyToClipboard(Console& console, std::string_view text);
// The copy of the user's copy keys: says "Copiado" with the console's facade
// when it was made, and sounds the error beep when the clipboard could not take it.
void CopyAndSay(Console& console, std::string_view text);
// At most capacity - 1 characters of the clipboard's text; empty when it
// holds none, when capacity is 0 or the clipboard cannot be opened.
std::string PasteFromClipboard(Console& console, size_t capacity);

}  // namespace kal
