#include "frontend/instructions.h"

namespace zir {

Instruction& SlotForWriting(InstructionTable& table, int block, int slot) {
    if (block >= static_cast<int>(table.blocks.size())) table.blocks.resize(block + 1);
    InstructionBlock& slots = table.blocks[block];
    // Statements are written one after another: the next slot is simply appended.
    if (slot == static_cast<int>(slots.size())) {
        slots.emplace_back();
    } else if (slot > static_cast<int>(slots.size())) {
        slots.resize(slot + 1, Instruction{});
    }
    return slots[slot];
}

int BlockKind(const InstructionTable& table, int block) {
    if (block <= 0 || !HasSlot(table, block, 0)) return KindMain;
    return table.blocks[block][0][HeaderKind];
}

}  // namespace zir
