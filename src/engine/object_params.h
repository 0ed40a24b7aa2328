// The parameters of a moving object that event programs (赋值, 读值, {…} in
// texts) and readings name: one table of their names, reading codes (their
// units are in model/units.h) and what writing them does, and the one way
// each is read and written.
//
// A parameter is a component, the length or the direction of one of the
// object's four vectors: position, velocity, acceleration and the applied
// force (人为外力). Directions are polar angles in degrees, counter-clockwise
// from the positive x axis, in [0, 360); the zero vector has direction 0.
//
// Before a run (sim_time exactly 0 and not running) a position or velocity
// parameter is also a start value: writing it sets the start value (x0, y0,
// vx0, vy0) with the live one, so the run starts from it. During a run a
// write changes the live value only. The applied force has no start value:
// a write sets it before and during a run. Accelerations are read only.
//
// An auxiliary point has a position only: "x" and "y".
#pragma once

#include <cstdint>
#include <string_view>

#include "model/model.h"
#include "model/units.h"

namespace quorrel {

enum class ParamVector : std::uint8_t { Position, Velocity, Acceleration, Force };
enum class ParamPart : std::uint8_t { X, Y, Length, Direction };
// What a write does.
enum class ParamWrite : std::uint8_t {
    ReadOnly,       // nothing: the accelerations
    Live,           // the live value, before and during a run: the applied force
    StartBeforeRun  // the live value, and the start value too before a run
};

struct ObjectParam {
    const char* name;   // as programs and texts write it: "x", "|v|", "v_deg"
    std::int32_t code;  // the quantity code of a reading (Q_X …)
    ParamVector vector;
    ParamPart part;
    ParamWrite write;
};

// Radians to degrees for the parameters and readings, by one factor (which
// rounds differently from degrees() of vec.h, rad·180/π).
inline constexpr double RAD_TO_DEG = 180.0 / PI;

// Before a run: the simulated time is exactly 0 and the run is not going.
inline bool before_run(const Model& m) {
    return m.sim_time == 0 && !m.running;
}

inline constexpr int OBJECT_PARAM_COUNT = 16;
extern const ObjectParam OBJECT_PARAMS[OBJECT_PARAM_COUNT];

// The parameter of that name or quantity code; nullptr when there is none.
const ObjectParam* find_object_param(std::string_view name);
const ObjectParam* object_param_by_code(std::int32_t code);

// The parameter's value. With `start` a position or velocity parameter is
// computed from the start values (the other vectors have none).
double object_param(const MovingObject& o, const ObjectParam& p, bool start);

// Writes v as the parameter. A length keeps the vector's direction, a
// direction keeps its length. The vector it changes is taken from the start
// values when `start` is set, else from the live ones, and the result becomes
// the live vector; `before_run` also stores what the write changed into the
// start values (for ParamWrite::StartBeforeRun). Read-only parameters are
// left alone.
void set_object_param(MovingObject& o, const ObjectParam& p, double v, bool start, bool before_run);

// A point's "x" or "y" (false for any other parameter), and its write.
bool point_param(const Point& pt, const ObjectParam& p, double& v);
void set_point_param(Point& pt, const ObjectParam& p, double v);

}  // namespace quorrel
