#pragma once
// The loader's message box: it has no toolkit, so it speaks to the X
// server through libxcb, loaded when a box is wanted (every X display that
// can show the setup's pages has it: the installation program's window
// system needs it too). A window titled title shows the message in the
// server's "fixed" font with an OK button; a key, a click on OK or closing
// the window ends it. Without a display, libxcb or the font, nothing is
// shown and false comes back (the caller's stderr line stays the message).

#include <string>

namespace loader {

bool ShowMessageBox(const std::string& title, const std::string& message);

}  // namespace loader
