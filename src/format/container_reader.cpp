// The container appended to a player executable: a four-byte trailer at the
// very end holds the offset at which the container starts.
#include <cstring>

#include "format/io.h"
#include "format/read_common.h"

namespace quorrel {
namespace {

// Bytes 0-3, 6, 8 and 9 are examined; 4, 5 and 7 may hold anything.
bool header_accepted(std::string_view h) {
    return h.size() >= 10 && h.substr(0, 4) == "ssmw" && h[6] == '3' && h[8] == '5' && h[9] == '0';
}

bool read_toolbar(ReadContext& ctx, Model& m) {
    ctx.part = "工具栏设置";
    Toolbar& t = m.toolbar;
    ByteReader& in = ctx.in;
    t.hide_toolbar = in.i32();
    t.reserved14 = in.i32();
    t.show_settings_button = in.i32();
    t.reserved22 = in.i32();
    t.reserved26 = in.i32();
    t.show_run_buttons = in.i32();
    t.show_time = in.i32();
    t.show_exit_button = in.i32();
    m.has_toolbar = true;
    return ctx.check();
}

bool read_body(ReadContext& ctx, Model& m) {
    if (!read_toolbar(ctx, m) || !read_settings(ctx, m) || !read_objects(ctx, m)) return false;
    ctx.part = "保留数据";
    m.reserved_word1 = ctx.in.i32();
    if (!ctx.check()) return false;
    if (!read_physics_flags(ctx, m) || !read_elements(ctx, m) || !read_scene_lists(ctx, m) ||
        !read_reserved_block(ctx, m) || !read_variables_programs(ctx, m) || !read_graphs(ctx, m))
        return false;
    if (!read_texts(ctx, m, TextRules{.objects_by_rest_mass = true, .with_graphs = true})) return false;
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].rest_mass != 0.0; ++i)
        if (!read_object_picture(ctx, m, i)) return false;

    ctx.part = "背景设置";
    const std::uint8_t mode = ctx.in.u8();
    if (!ctx.check()) return false;
    m.settings.background_mode = mode;
    if (mode == 1) {
        if (!read_background_picture(ctx, m)) return false;
    } else if (mode == 2 || mode == 3) {
        // Whether containers carry the picture for these modes is not settled:
        // take it when a size word that fits the remaining bytes follows.
        if (ctx.in.remaining() >= 4) {
            ByteReader peek = ctx.in;
            const std::int32_t size = peek.i32();
            if (size >= 0 && static_cast<std::size_t>(size) <= peek.remaining() && !read_background_picture(ctx, m))
                return false;
        }
    }

    // Blocks and inclines are drawn transparently on white.
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != 0; ++i) {
        MovingObject& o = m.objects[i];
        if (o.kind == KIND_BLOCK || o.kind == KIND_INCLINE) {
            o.transparent_colour = 0xFFFFFF;
            o.transparent = 1;
        }
    }
    return true;
}

}  // namespace

LoadResult read_container(Model& m, std::string_view bytes, LoadScratch& scratch) {
    if (bytes.empty()) return failure(msg::EMPTY_FILE, msg::CAPTION_HINT, false);
    ReadContext probe(bytes, msg::CONTAINER_DAMAGED);
    if (bytes.size() < 4) {
        probe.fail("文件太短,末尾没有实验位置。");
        return damaged(probe);
    }
    std::int32_t start;
    std::memcpy(&start, bytes.data() + bytes.size() - 4, 4);
    const std::size_t end = bytes.size() - 4;
    if (start < 0 || static_cast<std::size_t>(start) > end) {
        probe.fail(msg::TRAILER_OUTSIDE);
        return damaged(probe);
    }
    const std::string_view body = bytes.substr(static_cast<std::size_t>(start), end - static_cast<std::size_t>(start));
    if (body.size() < 10) {
        probe.fail("文件太短,读不到实验的文件头。");
        return damaged(probe);
    }
    if (!header_accepted(body)) return failure(msg::INVALID_HEADER, msg::CAPTION_HINT, false);

    return read_into_fresh(m, scratch, [&](Model& fresh) {
        ReadContext ctx(body.substr(10), msg::CONTAINER_DAMAGED);
        // A container places its background picture at the top left unless its
        // stored mode (read later in the body) says otherwise.
        fresh.settings.background_mode = 1;
        if (!read_body(ctx, fresh)) return damaged(ctx);
        LoadResult ok;
        ok.ok = true;
        return ok;
    });
}

LoadResult read_container(Model& m, std::string_view bytes) {
    LoadScratch scratch;
    return read_container(m, bytes, scratch);
}

}  // namespace quorrel
