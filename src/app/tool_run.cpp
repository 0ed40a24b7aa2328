// quorrel-tool run FILE [--frames N] [--every K] [--resume] [--csv]: loads
// FILE, presses Run and performs N ticks of the player's main loop, printing
// one JSON line per tick (or per K ticks and the last one), or with --csv one
// CSV row of the run's numbers (run_record.h) after the row of the start.
#include <cstdio>
#include <utility>

#include "app/headless_app.h"
#include "app/json_text.h"
#include "app/tool.h"
#include "model/gbk.h"
#include "player/headless_platform.h"
#include "player/launch.h"
#include "player/player.h"
#include "player/run_record.h"

namespace quorrel {
namespace {

constexpr const char* USAGE = "usage: quorrel-tool run FILE [--frames N] [--every K] [--resume] [--csv]\n";

DocNode tick_line(const RunState& run, const Chrome& chrome, const Model& m, long long frame, TickOutcome outcome) {
    const auto integer = [](std::int64_t v) { return DocNode::of(v); };
    DocNode line = DocNode::table();
    line.add("frame", DocNode::of(static_cast<double>(frame)));
    line.add("t", DocNode::of(time_on_step(m.sim_time, m.settings.time_step)));
    // A solver's stop message leaves the pause button up and enabled, but the
    // run has ended as far as the tool is concerned.
    line.add("status", DocNode::of(std::string(outcome == TickOutcome::StopMessage ? "stopped" : run_status(run, m))));
    line.add("message", DocNode::of(chrome.status_text));
    DocNode error = DocNode::null();
    if (run.last_error.code != 0) {
        error = DocNode::table();
        error.add("code", integer(run.last_error.code));
        error.add("program", integer(run.last_error.program));
        error.add("line", integer(run.last_error.line));
    }
    line.add("error", std::move(error));
    DocNode& objects = line.add("objects", DocNode::array());
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        const MovingObject& o = m.objects[i];
        DocNode& j = objects.items.emplace_back(DocNode::table());
        j.add("slot", integer(i));
        j.add("name", json_text(m.object_texts[i].name));
        j.add("kind", integer(o.kind));
        const std::pair<const char*, double> reals[] = {{"x", o.x},       {"y", o.y},   {"vx", o.vx},
                                                        {"vy", o.vy},     {"ax", o.ax}, {"ay", o.ay},
                                                        {"mass", o.mass}, {"fx", o.fx}, {"fy", o.fy}};
        for (const auto& [key, v] : reals) j.add(key, DocNode::of(v));
    }
    DocNode& variables = line.add("variables", DocNode::table());
    const int vc = std::min(m.variable_count, MAX_VARIABLES);
    // A later variable of the same name wins.
    for (int i = 0; i < vc; ++i) {
        const auto& t = m.variable_texts[i];
        variables.set(gbk_to_utf8(t[VT_NAME]), json_text(t[VT_VALUE]));
    }
    return line;
}

}  // namespace

int tool_run(const Args& args) {
    std::string file;
    long long frames = 1, every = 1;
    bool resume = false, csv = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--frames" || a == "--every") && i + 1 < args.size()) {
            const auto v = parse_count(args[++i]);
            if (!v || (a == "--every" && *v < 1)) {
                std::fprintf(stderr, "quorrel-tool run: invalid value for %s\n%s", a.c_str(), USAGE);
                return 2;
            }
            (a == "--frames" ? frames : every) = *v;
        } else if (a == "--resume") {
            resume = true;
        } else if (a == "--csv") {
            csv = true;
        } else if (file.empty() && !(a.size() > 1 && a[0] == '-' && a[1] == '-')) {
            file = a;
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (file.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
    }

    const auto app = make_headless_app();
    HeadlessPlatform platform;
    PlayerState p;
    p.platform = &platform;
    resize_scene(p, 700, 420, 702, 455);
    if (!load_any(p, file)) return 2;

    p.record.keep_rows(false);
    press_run(p);
    std::string line;
    if (csv) {
        // The header and the start state at t = 0, then a row per frame.
        line = csv_header(p.record.columns());
        append_csv_row(line, p.record.columns(), p.record.last());
        if (!print_text(line)) return 2;
    }
    for (long long i = 1; i <= frames; ++i) {
        const TickOutcome r = Timing(p);
        const bool quit = platform.exit_status >= 0;
        const bool ends = quit || r == TickOutcome::StopMessage || r == TickOutcome::OutOfRange ||
                          r == TickOutcome::Stopped || r == TickOutcome::Halted ||
                          (r == TickOutcome::Paused && !resume);
        if (i % every == 0 || i == frames || ends) {
            if (csv) {
                // The numbers of the frame itself, as the player records them.
                line.clear();
                if (const double* row = p.record.last()) append_csv_row(line, p.record.columns(), row);
                if (!print_text(line)) return 2;
            } else if (!print_json_line(tick_line(p, p, *p.model, i, r))) {
                return 2;
            }
        }
        if (ends) break;
        if (r == TickOutcome::Paused) press_pause(p, *p.model);  // --resume: continue as the button does
    }
    return 0;
}

}  // namespace quorrel
