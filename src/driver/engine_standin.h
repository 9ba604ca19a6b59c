// STAND-IN until the engine exists: an empty object store and a main program that ends at
// once. The issue that builds ExecuteSubroutine and the object store deletes this file
// pair and replaces the calls in runcycle.cpp.
#pragma once

#include <cstdint>

#include "driver/dump.h"
#include "frontend/instructions.h"
#include "frontend/symbols.h"

namespace zir {

// Stands for the point, line and circle tables and their visibility flags.
struct ObjectStore {};

ObjectStore CreateObjectStoreStandIn(const NameTable& names);
// Runs block 0 as ExecuteSubroutine would; returns 0, "ran to its last instruction".
std::int32_t ExecuteMainStandIn(const InstructionTable& table, const NameTable& names,
                                ObjectStore& store);
// Adds the store's objects to a dump; the stand-in store has none.
void DumpObjectsStandIn(const NameTable& names, const ObjectStore& store, DumpContent& dump);

}  // namespace zir
