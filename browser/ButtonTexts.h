#pragma once
// The toolbar buttons' texts and icons as GTK wants them, from the button table's own forms.

#include <string>
#include <string_view>

namespace browser {

// A caption whose "&" marks the access key, as a GTK mnemonic: the "&" becomes "_", a literal
// "_" is doubled, and "&&" stands for one "&".
std::string MnemonicCaption(std::string_view caption);

// The caption as shown, without its access-key mark.
std::string PlainCaption(std::string_view caption);

// The icon's path in the window's resource bundle, from the table's ":/icons/x.png": on a screen
// scaled by 2 or more, the drawing at twice the pixels, "x@2x.png".
std::string IconResource(std::string_view icon, int scale = 1);

} // namespace browser
