// quorrel-tool render FILE [--frames N] [--size WxH] [--zoom K|fit] --out PNG:
// draws the scene picture offscreen (after loading, or after Run and N ticks)
// into a PNG file, at view scale K (1 by default) or fitted to the picture.
#include <QImage>
#include <QString>
#include <cstdio>

#include "app/headless_app.h"
#include "app/tool.h"
#include "model/numtext.h"
#include "player/headless_platform.h"
#include "player/launch.h"
#include "player/player.h"
#include "player/toolbar_layout.h"
#include "player/view_control.h"

namespace quorrel {
namespace {

constexpr const char* USAGE = "usage: quorrel-tool render FILE [--frames N] [--size WxH] [--zoom K|fit] --out PNG\n";
// Pictures larger than this are refused rather than allocated.
constexpr long long MAX_SIDE = 16384;

bool parse_size(const std::string& text, int& w, int& h) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    const auto a = parse_count(text.substr(0, x));
    const auto b = parse_count(text.substr(x + 1));
    if (!a || !b || *a < 1 || *b < 1 || *a > MAX_SIDE || *b > MAX_SIDE) return false;
    w = static_cast<int>(*a);
    h = static_cast<int>(*b);
    return true;
}

// "fit", or a view scale within the view's limits.
bool parse_zoom(const std::string& text, bool& fit, double& zoom) {
    fit = text == "fit";
    if (fit) return true;
    double v = 0;
    if (!parse_number(text, v) || !(v >= MIN_ZOOM && v <= MAX_ZOOM)) return false;
    zoom = v;
    return true;
}

}  // namespace

int render_png(const std::string& file, long long frames, int width, int height, bool fit, double zoom,
               const std::string& out) {
    HeadlessPlatform platform;
    PlayerState p;
    p.platform = &platform;
    // The window is the picture plus the tool bar above it.
    resize_scene(p, width, height, width, height + TOOLBAR_HEIGHT);
    p.fit_view = fit;
    if (!load_any(p, file)) return 2;
    if (!fit) {
        View v;
        v.zoom = zoom;
        set_view(p, p, v);
    }
    if (frames > 0) {
        press_run(p);
        for (long long i = 0; i < frames && platform.exit_status < 0; ++i) Timing(p);
    }
    if (!picture(p).save(QString::fromLocal8Bit(out.c_str()), "PNG")) {
        std::fprintf(stderr, "quorrel-tool render: cannot write %s\n", out.c_str());
        return 2;
    }
    return 0;
}

int tool_render(const Args& args) {
    std::string file, out;
    long long frames = 0;
    int width = 700, height = 420;
    bool fit = false;
    double zoom = 1.0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--frames" && has_value) {
            const auto v = parse_count(args[++i]);
            if (!v) {
                std::fprintf(stderr, "quorrel-tool render: invalid frame count\n%s", USAGE);
                return 2;
            }
            frames = *v;
        } else if (a == "--size" && has_value) {
            if (!parse_size(args[++i], width, height)) {
                std::fprintf(stderr, "quorrel-tool render: invalid size (WxH, 1 to %lld each)\n%s", MAX_SIDE, USAGE);
                return 2;
            }
        } else if (a == "--zoom" && has_value) {
            if (!parse_zoom(args[++i], fit, zoom)) {
                std::fprintf(stderr, "quorrel-tool render: invalid zoom (fit, or %g to %g)\n%s", MIN_ZOOM, MAX_ZOOM,
                             USAGE);
                return 2;
            }
        } else if (a == "--out" && has_value) {
            out = args[++i];
        } else if (file.empty() && !(a.size() > 1 && a[0] == '-' && a[1] == '-')) {
            file = a;
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (file.empty() || out.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
    }

    const auto app = make_headless_app();
    return render_png(file, frames, width, height, fit, zoom, out);
}

}  // namespace quorrel
