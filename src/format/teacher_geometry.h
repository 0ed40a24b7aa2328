// Geometry in the teacher's form: a straight track given by its two ends
// (`from = [x1, y1]`, `to = [x2, y2]`, metres) in place of the line
// coefficients a teacher would otherwise work out by hand, and an arc by its
// `centre = [x, y]` and its angles in degrees (`from_deg`, `to_deg`).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "format/fields.h"
#include "model/records.h"

namespace quorrel {

inline constexpr std::string_view TRACK_FROM_KEY = "from";
inline constexpr std::string_view TRACK_TO_KEY = "to";

// Whether a section takes a straight track by its ends.
bool takes_track_ends(const Section& s);

// The stored keys the ends replace: a record gives either these or the ends.
std::span<const std::string_view> keys_track_ends_replace();

// The keys an arc takes in place of stored fields, each with the stored
// keys it replaces (a record gives one or the other); empty for every other
// section.
inline constexpr std::string_view ARC_CENTRE_KEY = "centre";
inline constexpr std::string_view ARC_FROM_KEY = "from_deg";
inline constexpr std::string_view ARC_TO_KEY = "to_deg";
struct ArcKey {
    std::string_view key;
    std::span<const std::string_view> replaces;
};
std::span<const ArcKey> arc_keys(const Section& s);

// Whether a key is one of the geometry keys of a section (read apart from
// the stored fields).
bool is_geometry_key(const Section& s, std::string_view key);

// Sets the ends and the line of `t` from two finite points; the Chinese
// reason when they do not make a track ("" when they do).
std::string track_from_ends(double x1, double y1, double x2, double y2, StraightTrack& t);

}  // namespace quorrel
