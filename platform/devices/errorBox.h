#pragma once
// The fatal error box: the text goes to standard error, then a modal window
// with the caption as its title shows it until the user presses OK (or
// Return, Escape, or closes the window). Without a display only standard
// error is written.
#include <string>

namespace plat {

void showErrorBox(const std::string& caption, const std::string& text);

} // namespace plat
