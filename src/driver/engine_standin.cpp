// STAND-IN until the engine exists; see engine_standin.h.
#include "driver/engine_standin.h"

namespace zir {

ObjectStore CreateObjectStoreStandIn(const NameTable&) {
    return {};
}

std::int32_t ExecuteMainStandIn(const InstructionTable&, const NameTable&, ObjectStore&) {
    return 0;
}

void DumpObjectsStandIn(const NameTable&, const ObjectStore&, DumpContent&) {}

}  // namespace zir
