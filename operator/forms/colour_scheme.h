#pragma once
// The program's colours: the desktop's own palette by default, or a dark palette on request
// (Options → Dark theme, --dark). Disabled texts stay readable in both.
namespace quorvel::forms {

// Switches the application between the dark palette and the desktop's palette.
void UseDarkPalette(bool dark);
bool DarkPaletteInUse();

}  // namespace quorvel::forms
