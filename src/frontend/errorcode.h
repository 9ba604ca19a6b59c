// Error code words: how the compiler and the interpreter report every error.
//
//   bits 0-7    message number
//   bits 8-11   first detail field (a type, a token position, a count or a block kind)
//   bits 12-15  second detail field (a type)
//   bits 16-31  0 here; a run result puts the subroutine number there
#pragma once

#include <algorithm>
#include <cstdint>

namespace zir {

// Message numbers that the compiler produces.
inline constexpr int MsgTypeMismatch = 10;
inline constexpr int MsgTooManyArguments = 11;
inline constexpr int MsgTooFewArguments = 12;
inline constexpr int MsgNoKeyword = 13;
inline constexpr int MsgKeywordAsArgument = 14;
inline constexpr int MsgInvalidArgumentName = 15;
inline constexpr int MsgSyntaxInArgument = 16;
inline constexpr int MsgNestedSubroutines = 20;
inline constexpr int MsgPassMismatch = 21;
inline constexpr int MsgNoSubroutineForName = 22;
inline constexpr int MsgParameterCountMismatch = 23;
inline constexpr int MsgInternal = 24;
inline constexpr int MsgSubroutineExists = 26;
inline constexpr int MsgWrongSubroutineKind = 27;
inline constexpr int MsgCallArgumentCount = 28;
inline constexpr int MsgCallArgumentType = 29;
inline constexpr int MsgTooManyParameters = 30;
inline constexpr int MsgInvalidStatementInBlock = 31;
inline constexpr int MsgMenuWithoutEnd = 32;
inline constexpr int MsgTooManyMenuItems = 33;
inline constexpr int MsgMenuEntryWithoutMenu = 34;
inline constexpr int MsgNoEnd = 36;
// The run-time errors of the engine.
inline constexpr int MsgCallsNestedTooDeeply = 37;

// A detail field has four bits; a larger value is held as 15, the nearest it can hold.
constexpr std::int32_t ErrorCode(int message, int detail1 = 0, int detail2 = 0) {
    return (message & 0xFF) | (std::clamp(detail1, 0, 15) << 8) |
           (std::clamp(detail2, 0, 15) << 12);
}

constexpr int ErrorMessageNumber(std::int32_t code) {
    return code & 0xFF;
}
constexpr int ErrorDetail1(std::int32_t code) {
    return (code >> 8) & 15;
}
constexpr int ErrorDetail2(std::int32_t code) {
    return (code >> 12) & 15;
}

// One compile error: its code word and the line it was found in (line index + 1, or 0 for
// an error of the whole script).
struct CompileError {
    std::int32_t code = 0;
    std::int32_t line = 0;
};

}  // namespace zir
