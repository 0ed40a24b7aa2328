// π and small helpers on the plane vector XY, so the physics and drawing code
// reads as vector arithmetic instead of hand-written component formulas.
// Every helper computes exactly what its written-out formula computes (no
// hypot, no fused operations), so results stay bit-identical.
#pragma once

#include <cmath>
#include <numbers>

namespace quorrel {

inline constexpr double PI = std::numbers::pi;
// Degrees to radians.
inline constexpr double DEG = PI / 180.0;

// deg·π/180, multiplied first and then divided. This rounds differently from
// deg * DEG, and it is the order the physics and the stored angles use.
inline constexpr double radians(double deg) {
    return deg * PI / 180.0;
}
// rad·180/π, in that order.
inline constexpr double degrees(double rad) {
    return rad * 180.0 / PI;
}

struct XY {
    double x, y;
};

inline constexpr XY operator+(XY a, XY b) {
    return {a.x + b.x, a.y + b.y};
}
inline constexpr XY operator-(XY a, XY b) {
    return {a.x - b.x, a.y - b.y};
}
inline constexpr XY operator*(XY a, double k) {
    return {a.x * k, a.y * k};
}
inline constexpr double dot(XY a, XY b) {
    return a.x * b.x + a.y * b.y;
}
// sqrt(x * x + y * y).
inline double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}
inline double length(XY a) {
    return length(a.x, a.y);
}

}  // namespace quorrel
