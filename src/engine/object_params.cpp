#include "engine/object_params.h"

#include <cmath>

#include "engine/solvers.h"

namespace quorrel {
namespace {

using V = ParamVector;
using P = ParamPart;
using W = ParamWrite;

// One of the object's vectors, live or start (only position and velocity have
// a start value).
XY get_vector(const MovingObject& o, ParamVector v, bool start) {
    switch (v) {
        case V::Position:
            return start ? XY{o.x0, o.y0} : XY{o.x, o.y};
        case V::Velocity:
            return start ? XY{o.vx0, o.vy0} : XY{o.vx, o.vy};
        case V::Acceleration:
            return {o.ax, o.ay};
        case V::Force:
            break;
    }
    return {o.fx, o.fy};
}

// Stores the components `x_too`, `y_too` of `to` into one of the vectors.
void put_vector(MovingObject& o, ParamVector v, bool start, XY to, bool x_too = true, bool y_too = true) {
    double *x = &o.fx, *y = &o.fy;
    if (v == V::Position) x = start ? &o.x0 : &o.x, y = start ? &o.y0 : &o.y;
    if (v == V::Velocity) x = start ? &o.vx0 : &o.vx, y = start ? &o.vy0 : &o.vy;
    if (v == V::Acceleration) return;  // read only
    if (x_too) *x = to.x;
    if (y_too) *y = to.y;
}

bool has_start(const ObjectParam& p) {
    return p.write == W::StartBeforeRun;
}

}  // namespace

const ObjectParam OBJECT_PARAMS[OBJECT_PARAM_COUNT] = {
    {"x", Q_X, V::Position, P::X, W::StartBeforeRun},
    {"y", Q_Y, V::Position, P::Y, W::StartBeforeRun},
    // The distance from the world origin, not the body's radius.
    {"r", Q_R, V::Position, P::Length, W::StartBeforeRun},
    {"deg", Q_DEG, V::Position, P::Direction, W::StartBeforeRun},
    {"vx", Q_VX, V::Velocity, P::X, W::StartBeforeRun},
    {"vy", Q_VY, V::Velocity, P::Y, W::StartBeforeRun},
    {"|v|", Q_V, V::Velocity, P::Length, W::StartBeforeRun},
    {"v_deg", Q_V_DEG, V::Velocity, P::Direction, W::StartBeforeRun},
    {"ax", Q_AX, V::Acceleration, P::X, W::ReadOnly},
    {"ay", Q_AY, V::Acceleration, P::Y, W::ReadOnly},
    {"|a|", Q_A, V::Acceleration, P::Length, W::ReadOnly},
    {"a_deg", Q_A_DEG, V::Acceleration, P::Direction, W::ReadOnly},
    {"fx", Q_FX, V::Force, P::X, W::Live},
    {"fy", Q_FY, V::Force, P::Y, W::Live},
    {"|f|", Q_F, V::Force, P::Length, W::Live},
    {"f_deg", Q_F_DEG, V::Force, P::Direction, W::Live},
};

const ObjectParam* find_object_param(std::string_view name) {
    for (const ObjectParam& p : OBJECT_PARAMS)
        if (name == p.name) return &p;
    return nullptr;
}

const ObjectParam* object_param_by_code(std::int32_t code) {
    for (const ObjectParam& p : OBJECT_PARAMS)
        if (code == p.code) return &p;
    return nullptr;
}

double object_param(const MovingObject& o, const ObjectParam& p, bool start) {
    const XY v = get_vector(o, p.vector, start && has_start(p));
    switch (p.part) {
        case P::X:
            return v.x;
        case P::Y:
            return v.y;
        case P::Length:
            return length(v);
        case P::Direction:
            break;
    }
    return vec_angle(v.x, v.y) * RAD_TO_DEG;
}

void set_object_param(MovingObject& o, const ObjectParam& p, double value, bool start, bool before_run) {
    if (p.write == W::ReadOnly) return;
    XY v = get_vector(o, p.vector, start && has_start(p));
    switch (p.part) {
        case P::X:
            v.x = value;
            break;
        case P::Y:
            v.y = value;
            break;
        case P::Length: {
            const double phi = vec_angle(v.x, v.y);
            v = {value * std::cos(phi), value * std::sin(phi)};
            break;
        }
        case P::Direction: {
            const double rho = length(v), theta = radians(value);
            v = {rho * std::cos(theta), rho * std::sin(theta)};
            break;
        }
    }
    put_vector(o, p.vector, false, v);
    // Before a run the start value takes what the write changed.
    if (before_run && has_start(p)) put_vector(o, p.vector, true, v, p.part != P::Y, p.part != P::X);
}

bool point_param(const Point& pt, const ObjectParam& p, double& v) {
    if (p.vector != V::Position || (p.part != P::X && p.part != P::Y)) return false;
    v = p.part == P::X ? pt.x : pt.y;
    return true;
}

void set_point_param(Point& pt, const ObjectParam& p, double v) {
    double ignored;
    if (!point_param(pt, p, ignored)) return;
    (p.part == P::X ? pt.x : pt.y) = v;
}

}  // namespace quorrel
