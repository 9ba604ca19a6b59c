#include "frontend/listing.h"

#include <cstdio>
#include <string_view>

namespace zir {

namespace {

std::string Format(const char* format, auto... values) {
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, format, values...);
    return std::string(buffer, n < 0 ? 0 : std::min<int>(n, sizeof buffer - 1));
}

// The name of entry index of a row, or "#index" when the row has no such entry.
std::string NameOf(const NameTable& names, int type, int index) {
    if (type >= 0 && type < NameRowCount && index >= 0 && index < NameCount(names, type)) {
        return names.rows[type][index];
    }
    return Format("#%d", index);
}

std::string KindName(int kind) {
    switch (kind) {
        case KindMain:
            return "main program";
        case KindConstruction:
            return "CONSTRUCTION";
        case KindInteraction:
            return "INTERACTION";
        case KindAnimation:
            return "ANIMATION";
        default:
            return Format("kind %d", kind);
    }
}

std::string SubroutineName(const InstructionTable& table, const NameTable& names, int block) {
    if (block <= 0 || !HasSlot(table, block, 0)) return Format("block %d", block);
    return Format("block %d ", block) +
           NameOf(names, TypeSubroutine, table.blocks[block][0][HeaderName]);
}

// A 16.16 fixed-point value or an angle in 1/256 degree, as a short decimal.
std::string Decimal(std::int32_t value, double unit) {
    return Format("%.6g", value / unit);
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

void Append(std::string& line, const std::string& part) {
    if (part.empty()) return;
    if (!line.empty() && line.back() != ' ') line += ' ';
    line += part;
}

// One word of an instruction as its field says.
std::string Show(const NameTable& names, Field field, std::int32_t value) {
    bool absent = value == -1;
    switch (field) {
        case Field::Point:
            return NameOf(names, TypePoint, value);
        case Field::Line:
            return NameOf(names, TypeLine, value);
        case Field::Circle:
            return NameOf(names, TypeCircle, value);
        case Field::OptText:
            if (absent) return "-";
            [[fallthrough]];
        case Field::Text:
            return Quoted(NameOf(names, TypeText, value));
        case Field::OptFixed:
            if (absent) return "-";
            [[fallthrough]];
        case Field::Fixed:
            return Decimal(value, FixedOne);
        case Field::OptAngle:
            if (absent) return "-";
            [[fallthrough]];
        case Field::Angle:
            return Decimal(value, 256.0) + "deg";
        case Field::Int:
            if (absent) return "-";
            [[fallthrough]];
        case Field::PlainInt:
            return Format("%d", value);
        case Field::Count:
            return Format("n=%d", value);
        case Field::Colour:
            if (absent) return "-";
            if ((value & 0xFF000000) == 0) return Format("#%06X", value);
            return Format("0x%08X", static_cast<unsigned>(value));
        case Field::Slot:
            return Format("->%d", value);
        default:
            return Format("0x%08X", static_cast<unsigned>(value));
    }
}

// The operands of one instruction.
std::string Operands(const InstructionTable& table, const NameTable& names, const OpcodeInfo& info,
                     const Instruction& in) {
    std::string text;
    switch (info.op) {
        case Op::CallFast:
        case Op::CallPace:
        case Op::CallSlow:
        case Op::Call: {
            int b = TargetOf(in[0]);
            Append(text, SubroutineName(table, names, b));
            if (BlockKind(table, b) != KindConstruction || !HasSlot(table, b, ParameterSlot)) {
                return text;
            }
            const Instruction& list = table.blocks[b][ParameterSlot];
            for (int k = 0; k < table.blocks[b][0][HeaderParameters] && k < MaxParameters; ++k) {
                int index = HalfOf(in[ParameterIndexWord(k)], HalfInWord(k));
                Append(text, NameOf(names, ParameterType(list, k), index));
            }
            return text;
        }
        case Op::Clickable:
        case Op::Trace:
            for (int k = 0; k < TargetOf(in[0]) && k < MaxPointList; ++k) {
                Append(text, NameOf(names, TypePoint, HalfOf(in[PointListWord(k)], HalfInWord(k))));
            }
            return text;
        case Op::MarkLine:
        case Op::MarkNumberLine:
            if ((in[1] & 0x000F0000) != 0) {
                // The number form: numbers in place of the two points.
                Append(text, NameOf(names, TypeLine, TargetOf(in[0])));
                Append(text, "numbers");
                Append(text, Format("%d", static_cast<std::int16_t>(HalfOf(in[1], 0))));
                for (int w = 2; w <= 3; ++w) Append(text, Show(names, Field::Int, in[w]));
                return text;
            }
            break;
        default:
            break;
    }
    if (info.layout[0].field != Field::None) {
        Append(text, Show(names, info.layout[0].field, TargetOf(in[0])));
    }
    for (int w = 1; w < 8; ++w) {
        if (info.layout[w].field != Field::None)
            Append(text, Show(names, info.layout[w].field, in[w]));
    }
    return text;
}

std::string BlockHeading(const InstructionTable& table, const NameTable& names, int b) {
    const Instruction& header = table.blocks[b][0];
    int kind = BlockKind(table, b);
    int first = kind == KindConstruction ? ParameterSlot + 1 : 1;
    std::string line = Format("block %d  ", b) + KindName(kind);
    if (b > 0) Append(line, NameOf(names, TypeSubroutine, header[HeaderName]));
    if (kind == KindConstruction) {
        int count = header[HeaderParameters];
        line += Format("  parameters %d", count);
        if (HasSlot(table, b, ParameterSlot)) {
            const Instruction& list = table.blocks[b][ParameterSlot];
            for (int k = 0; k < count && k < MaxParameters; ++k) {
                int type = ParameterType(list, k);
                line += k == 0 ? ": " : ", ";
                line += NameOf(names, type, ParameterIndex(list, k)) + " ";
                line += TypeName(type).empty() ? Format("type %d", type) : TypeName(type);
            }
        }
    }
    line += Format("  slots %d-%d", first, header[HeaderEnd] - 1);
    if (b == 0) line += Format("  subroutines %d", header[HeaderBlockCount]);
    return line + "\n";
}

}  // namespace

std::string ListProgram(const InstructionTable& table, const NameTable& names) {
    std::string out;
    for (int b = 0; b < static_cast<int>(table.blocks.size()); ++b) {
        if (!HasSlot(table, b, 0)) continue;
        out += BlockHeading(table, names, b);
        const InstructionBlock& slots = table.blocks[b];
        int first = BlockKind(table, b) == KindConstruction ? ParameterSlot + 1 : 1;
        int end = std::min<int>(slots[0][HeaderEnd], static_cast<int>(slots.size()));
        for (int s = first; s < end; ++s) {
            const Instruction& in = slots[s];
            int opcode = OpcodeOf(in[0]);
            const OpcodeInfo* info = FindOpcode(opcode);
            std::string line = Format("%5d:%-6d %3d ", b, s, opcode);
            if (!info) {
                line += opcode == 0 ? "(empty)" : "?";
                for (int w = 0; opcode != 0 && w < 8; ++w) {
                    Append(line, Format("0x%08X", static_cast<unsigned>(in[w])));
                }
            } else {
                std::string name(info->name);
                if (IsInvisible(in[0])) name += " I";
                line += Format("%-25s", name.c_str());
                Append(line, Operands(table, names, *info, in));
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out += line + "\n";
        }
    }
    return out;
}

}  // namespace zir
