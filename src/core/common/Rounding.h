#pragma once

#include <cstdint>

// Every conversion of a floating value to a whole number rounds to nearest with
// ties to even (126.5 -> 126, 127.5 -> 128). A result that does not fit the target,
// or a value that is not a number, throws the "Overflow" failure: it is never clamped.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);
