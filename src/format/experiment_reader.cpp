// The experiment file: header "kovra.y3." and a version byte, then the same
// model as the container with the blocks in another order.
#include "format/io.h"
#include "format/pictures.h"
#include "format/read_common.h"

namespace quorrel {
namespace {

bool read_body(ReadContext& ctx, Model& m, bool with_graphs) {
    if (!read_settings(ctx, m) || !read_physics_flags(ctx, m) || !read_elements(ctx, m) || !read_scene_lists(ctx, m) ||
        !read_objects(ctx, m))
        return false;
    ctx.part = "保留数据";
    m.reserved_word1 = ctx.in.i32();
    if (!ctx.check() || !read_reserved_block(ctx, m) || !read_variables_programs(ctx, m)) return false;
    if (with_graphs && !read_graphs(ctx, m)) return false;
    if (!read_texts(ctx, m, TextRules{.objects_by_rest_mass = false, .with_graphs = with_graphs})) return false;

    // Only objects flagged as having their own picture carry one.
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != 0; ++i)
        if (m.objects[i].own_picture == 1 && !read_object_picture(ctx, m, i)) return false;

    ctx.part = "背景设置";
    const std::uint8_t mode = ctx.in.u8();
    if (!ctx.check()) return false;
    m.settings.background_mode = mode;
    if (mode != 0 && !read_background_picture(ctx, m)) return false;

    // Every other real object is shown as a shaded ball, transparent on black.
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].rest_mass != 0.0; ++i) {
        MovingObject& o = m.objects[i];
        if (o.own_picture == 1) continue;
        m.object_pictures[i] = make_ball_picture(m, i);
        m.object_picture_bytes[i].clear();
        o.transparent_colour = 0;
        o.transparent = 1;
    }
    return true;
}

}  // namespace

LoadResult read_experiment(Model& m, std::string_view bytes, LoadScratch& scratch) {
    if (bytes.empty()) return failure(msg::EMPTY_FILE, msg::CAPTION_HINT, false);
    if (bytes.size() < 10) {
        ReadContext probe(bytes, msg::EXPERIMENT_DAMAGED);
        probe.fail("文件太短,读不到文件头。");
        return damaged(probe);
    }
    // Only the version byte is examined: '5' means the file holds function graphs.
    const bool with_graphs = bytes[9] == '5';
    return read_into_fresh(m, scratch, [&](Model& fresh) {
        ReadContext ctx(bytes.substr(10), msg::EXPERIMENT_DAMAGED);
        if (!read_body(ctx, fresh, with_graphs)) return damaged(ctx);
        LoadResult ok;
        ok.ok = true;
        return ok;
    });
}

LoadResult read_experiment(Model& m, std::string_view bytes) {
    LoadScratch scratch;
    return read_experiment(m, bytes, scratch);
}

}  // namespace quorrel
