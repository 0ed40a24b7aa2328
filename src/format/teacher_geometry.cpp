#include "format/teacher_geometry.h"

#include <cmath>
#include <cstring>

namespace quorrel {
namespace {

constexpr std::string_view REPLACED_KEYS[] = {"values",        "a",  "b",  "c",  "norm", "direction",
                                              "direction_deg", "x1", "y1", "x2", "y2"};

constexpr std::string_view CENTRE_REPLACES[] = {"values", "cx", "cy"};
constexpr std::string_view FROM_REPLACES[] = {"values", "start_angle", "start_angle_deg"};
constexpr std::string_view TO_REPLACES[] = {"values", "end_angle", "end_angle_deg"};
constexpr ArcKey ARC_KEYS[] = {
    {ARC_CENTRE_KEY, CENTRE_REPLACES},
    {ARC_FROM_KEY, FROM_REPLACES},
    {ARC_TO_KEY, TO_REPLACES},
};

}  // namespace

std::span<const ArcKey> arc_keys(const Section& s) {
    if (s.id == SectionId::Element && std::strcmp(s.key, "CT") == 0) return ARC_KEYS;
    return {};
}

bool takes_track_ends(const Section& s) {
    return s.id == SectionId::Element && std::strcmp(s.key, "TB") == 0;
}

bool is_geometry_key(const Section& s, std::string_view key) {
    if (takes_track_ends(s)) return key == TRACK_FROM_KEY || key == TRACK_TO_KEY;
    for (const ArcKey& a : arc_keys(s))
        if (key == a.key) return true;
    return false;
}

std::span<const std::string_view> keys_track_ends_replace() {
    return REPLACED_KEYS;
}

std::string track_from_ends(double x1, double y1, double x2, double y2, StraightTrack& t) {
    if (x1 == x2 && y1 == y2) return "两端重合,不成轨道。";
    t.x1 = x1;
    t.y1 = y1;
    t.x2 = x2;
    t.y2 = y2;
    derive_track_line(t);
    // Ends far enough apart (or far enough out) overflow the line's
    // coefficients, which the track solver could not use.
    for (const double v : {t.x1 - t.x2, t.y1 - t.y2, t.b, t.c, t.norm, t.direction})
        if (!std::isfinite(v)) return "两端的坐标太大,算不出轨道的直线。";
    return "";
}

}  // namespace quorrel
