// STAND-IN until the engine exists; see engine_standin.h.
#include "driver/engine_standin.h"

namespace zir {

ObjectStore CreateObjectStoreStandIn(const CompiledProgram&) {
    return {};
}

std::int32_t ExecuteMainStandIn(CompiledProgram&, ObjectStore&) {
    return 0;
}

void DumpObjectsStandIn(const CompiledProgram&, const ObjectStore&, DumpContent&) {}

}  // namespace zir
