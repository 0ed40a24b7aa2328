// The integration step as named stages. Each sequence of the step (an
// object's step, the force sequence of one evaluation, a block's contact with
// its plank or incline) is one constexpr table of {name, function} records, walked in
// table order by `walk_stages`. The walk is a fold over the table's indices,
// so every stage is a direct call the compiler can inline: the table costs
// nothing at run time, and the arithmetic and its order are those of the
// stages one after another.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <utility>

namespace quorrel {

// Declares a stage function: always inlined into the walk of its table, so
// that the working values the stages share stay in registers (a stage left
// out of line would make them live in memory across the whole sequence).
#define QUORREL_STAGE [[gnu::always_inline]] inline

// A stage of a sequence: its name, its function, and whether a block stuck to
// its host skips it (the object step's corrector stages: such a block moves
// with its host instead). A stage returns false to end its sequence there.
template <class Context>
struct Stage {
    std::string_view name;
    bool (*run)(Context&);
    bool skipped_when_stuck = false;
};

// What a test or the documentation reads of a stage table.
struct StageInfo {
    std::string_view name;
    bool skipped_when_stuck = false;
};

// The object step (kernel.cpp), the force sequence of each evaluation
// (kernel.cpp) and a block's contact with its plank or incline (blocks.cpp),
// in the order they run.
std::span<const StageInfo> object_step_stages();
std::span<const StageInfo> force_stages();
std::span<const StageInfo> plank_stages();
std::span<const StageInfo> incline_stages();

namespace stage_detail {

template <const auto& TABLE, std::size_t I, class Context>
inline bool run_stage(Context& c) {
    constexpr auto stage = TABLE[I];
    if constexpr (stage.skipped_when_stuck) {
        if (c.skip_corrector) return true;
    }
    return stage.run(c);
}

template <const auto& TABLE, class Context, std::size_t... I>
inline void walk(Context& c, std::index_sequence<I...>) {
    (void)(run_stage<TABLE, I>(c) && ...);
}

template <const auto& TABLE, std::size_t... I>
constexpr auto infos(std::index_sequence<I...>) {
    return std::array<StageInfo, sizeof...(I)>{StageInfo{TABLE[I].name, TABLE[I].skipped_when_stuck}...};
}

}  // namespace stage_detail

// Runs the stages of TABLE in order on `c` until one returns false.
template <const auto& TABLE, class Context>
inline void walk_stages(Context& c) {
    stage_detail::walk<TABLE>(c, std::make_index_sequence<std::size(TABLE)>{});
}

// The names (and skip marks) of TABLE, for the listing functions above.
template <const auto& TABLE>
inline constexpr auto STAGE_INFOS = stage_detail::infos<TABLE>(std::make_index_sequence<std::size(TABLE)>{});

}  // namespace quorrel
