// STAND-IN until the built-in fonts are loaded from the embedded resources: loading them
// does nothing. The issue that defines LoadBuiltinFonts (src/draw/fonts) deletes this file
// pair and calls it from ZirInit instead.
#pragma once

namespace zir {

void LoadBuiltinFontsStandIn();

}  // namespace zir
