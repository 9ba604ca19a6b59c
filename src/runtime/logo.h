// The program's logo: shown when a screen opens and after every run.
#pragma once

#include <cstdint>

namespace zir {

// The logo bitmap (resource "logo16" of type "myBMP", an RGB565 ImageBuffer), or null when
// the program carries none. Located once.
const std::uint8_t* LogoImage();

// Draws the logo centred on the screen (halvings rounded towards minus infinity), waits
// 2000 ms or until a key is pressed, then discards every waiting key. Without a logo or a
// screen nothing is drawn, but the wait and the discarding still happen.
void ShowLogo(int width, int height);

}  // namespace zir
