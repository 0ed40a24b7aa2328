// Geometry in the teacher's form: a straight track given by its two ends
// (`from = [x1, y1]`, `to = [x2, y2]`, metres) in place of the line
// coefficients a teacher would otherwise work out by hand.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "format/fields.h"
#include "model/records.h"

namespace quorrel {

inline constexpr std::string_view TRACK_FROM_KEY = "from";
inline constexpr std::string_view TRACK_TO_KEY = "to";

// Whether a section takes a straight track by its ends, and whether a key is
// one of the two ends.
bool takes_track_ends(const Section& s);
bool is_track_end_key(const Section& s, std::string_view key);

// The stored keys the ends replace: a record gives either these or the ends.
std::span<const std::string_view> keys_track_ends_replace();

// Sets the ends and the line of `t` from two finite points; the Chinese
// reason when they do not make a track ("" when they do).
std::string track_from_ends(double x1, double y1, double x2, double y2, StraightTrack& t);

}  // namespace quorrel
