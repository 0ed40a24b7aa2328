// The quantities a reading can show and their units. A quantity reading
// names its quantity by a code (Q_X …, the parameters of a moving object or
// a point); a distance is in metres and an angle in degrees. The scene shows
// the unit after a reading's number and after the values of the readouts
// beside strobe stamps; a reading whose quantity has no known unit shows the
// number alone.
#pragma once

#include <cstdint>

#include "model/records.h"

namespace quorrel {

// Quantity codes of a reading: position, velocity, acceleration and applied
// force, each as x, y, length and direction.
enum : std::int32_t {
    Q_X = 100,
    Q_Y,
    Q_R,
    Q_DEG,
    Q_VX,
    Q_VY,
    Q_V,
    Q_V_DEG,
    Q_AX,
    Q_AY,
    Q_A,
    Q_A_DEG,
    Q_FX,
    Q_FY,
    Q_F,
    Q_F_DEG
};

struct QuantityUnit {
    std::int32_t code;  // Q_X …
    const char* unit;   // UTF-8, SI: "m", "m/s", "m/s²", "N", "°"
};
inline constexpr int QUANTITY_UNIT_COUNT = 16;
extern const QuantityUnit QUANTITY_UNITS[QUANTITY_UNIT_COUNT];

// The unit of the simulated time (the time readouts).
inline constexpr const char* TIME_UNIT = "s";

// The unit of a quantity code; nullptr when the code is not a known quantity.
const char* quantity_unit(std::int32_t code);

// The unit a measurement's reading is in (UTF-8); nullptr when it has none
// that is known (an unknown quantity, a measurement not drawn).
const char* reading_unit(const Measurement& r);

}  // namespace quorrel
