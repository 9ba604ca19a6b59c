// STAND-IN until the built-in fonts exist: loading them does nothing. The issue that
// builds src/draw/fonts deletes this file pair and calls its loading from ZirInit.
#pragma once

namespace zir {

void LoadBuiltinFontsStandIn();

}  // namespace zir
