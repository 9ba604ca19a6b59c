// STAND-IN until the built-in fonts exist; see fonts_standin.h.
#include "driver/fonts_standin.h"

namespace zir {

void LoadBuiltinFontsStandIn() {}

}  // namespace zir
