// Subcommands of quorrel-tool. Each takes the arguments after its name and
// returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace quorrel {

using Args = std::vector<std::string>;

int tool_dump(const Args& args);
int tool_demo(const Args& args);
int tool_run(const Args& args);
int tool_render(const Args& args);
int tool_eval(const Args& args);
int tool_pack(const Args& args);
int tool_icon(const Args& args);
int tool_convert(const Args& args);
int tool_fields(const Args& args);
int tool_check(const Args& args);

// Draws the experiment or packed player `file` offscreen into the PNG file
// `out`: a picture of width x height at view scale `zoom`, or fitted to it,
// after loading, or after Run and `frames` ticks. Needs the headless
// application. Returns 0, or 2 after a message on stderr.
int render_png(const std::string& file, long long frames, int width, int height, bool fit, double zoom,
               const std::string& out);

}  // namespace quorrel
