#include "format/read_common.h"

#include <cstring>

#include "format/pictures.h"

namespace quorrel {

bool ReadContext::fail(const std::string& detail) {
    if (error.empty()) error = detail;
    return false;
}

bool ReadContext::check() {
    if (in.ok()) return true;
    return fail(std::string("读取") + part + "时文件提前结束。");
}

int ReadContext::count(int capacity, const char* what) {
    const std::int32_t n = in.i32();
    if (!check()) return -1;
    if (n < 0 || n > capacity) {
        fail(std::string(what) + "的个数 " + std::to_string(n) + " 超出了允许的范围(0 到 " + std::to_string(capacity) +
             ")。");
        return -1;
    }
    return n;
}

LoadResult failure(const std::string& message, const char* caption, bool ok_cancel) {
    LoadResult r;
    r.ok = false;
    r.message = message;
    r.caption = caption;
    r.ok_cancel = ok_cancel;
    return r;
}

LoadResult damaged(const ReadContext& ctx) {
    return failure(std::string(ctx.prefix) + ctx.error, msg::CAPTION_HINT, false);
}

Model& fresh_model_like(const Model& m, LoadScratch& scratch) {
    if (!scratch.spare) scratch.spare = std::make_unique<Model>();
    scratch.record_lines.clear();
    Model* fresh = scratch.spare.get();
    // The settings a reset leaves alone come from the caller's model, as if the
    // caller's model itself had been reset; so do the digits and the path.
    Settings& s = fresh->settings;
    const Settings& o = m.settings;
    s.show_grid = o.show_grid;
    s.show_fine_grid = o.show_fine_grid;
    s.axes_colour = o.axes_colour;
    s.v_scale = o.v_scale;
    s.a_scale = o.a_scale;
    s.f_scale = o.f_scale;
    s.v_colour = o.v_colour;
    s.a_colour = o.a_colour;
    std::memcpy(s.force_colours, o.force_colours, sizeof s.force_colours);
    s.pause_time = o.pause_time;
    fresh->digits = m.digits;
    fresh->experiment_path = m.experiment_path;
    reset_model(*fresh);
    return *fresh;
}

bool read_settings(ReadContext& ctx, Model& m) {
    ctx.part = "实验设置";
    ByteReader& in = ctx.in;
    Settings& s = m.settings;
    s.steps_per_frame = in.i32();
    s.origin_x = in.i32();
    s.origin_y = in.i32();
    s.scale = in.f64();
    s.time_step = in.f64();
    s.show_axes = in.u8();
    s.show_grid = in.u8();
    s.show_fine_grid = in.u8();
    s.axes_colour = in.i32();
    s.line_width = in.i32();
    s.background_colour = in.i32();
    s.v_scale = in.f64();
    s.a_scale = in.f64();
    s.v_colour = in.i32();
    s.a_colour = in.i32();
    s.f_scale = in.f64();
    for (Colour& c : s.force_colours) c = in.i32();
    s.pause_time = in.f64();
    s.g = in.f64();
    s.G = in.f64();
    s.k = in.f64();
    s.c = in.f64();
    return ctx.check();
}

bool read_physics_flags(ReadContext& ctx, Model& m) {
    ctx.part = "物理选项";
    ByteReader& in = ctx.in;
    Settings& s = m.settings;
    s.use_gravity = in.u8();
    s.use_mutual_gravitation = in.u8();
    s.use_mutual_charge = in.u8();
    s.use_relativity = in.u8();
    s.use_collisions = in.u8();
    s.selected_object = in.i32();
    return ctx.check();
}

bool read_objects(ReadContext& ctx, Model& m) {
    ctx.part = "运动对象";
    const int n = ctx.count(MAX_OBJECTS, "运动对象");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) ctx.in.bytes(&m.objects[i], sizeof(MovingObject));
    return ctx.check();
}

bool read_elements(ReadContext& ctx, Model& m) {
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        const std::string what = std::string("元素表 ") + ELEMENT_CODES[t];
        ctx.part = "元素表";
        const int n = ctx.count(MAX_ELEMENTS, what.c_str());
        if (n < 0) return false;
        double reals[11];
        const int k = element_reals(t);
        for (int i = 0; i < n; ++i) {
            ctx.in.bytes(reals, sizeof(double) * k);
            set_element(m, t, i, reals);
        }
        element_reserved(m, t) = ctx.in.i32();
        if (!ctx.check()) return false;
    }
    return true;
}

bool read_scene_lists(ReadContext& ctx, Model& m) {
    ByteReader& in = ctx.in;
    ctx.part = "测量";
    int n = ctx.count(MAX_MEASUREMENTS, "测量");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) in.bytes(&m.measurements[i], sizeof(Measurement));
    if (!ctx.check()) return false;

    ctx.part = "文本块";
    n = ctx.count(MAX_TEXT_BLOCKS, "文本块");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) in.bytes(&m.text_blocks[i], sizeof(TextBlock));
    if (!ctx.check()) return false;

    ctx.part = "辅助点";
    n = ctx.count(MAX_POINTS, "辅助点");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) in.bytes(&m.points[i], POINT_STORED);
    m.reserved_word8 = in.i32();
    if (!ctx.check()) return false;

    ctx.part = "标注";
    n = ctx.count(MAX_ANNOTATIONS, "标注");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) in.bytes(&m.annotations[i], sizeof(Annotation));
    return ctx.check();
}

bool read_reserved_block(ReadContext& ctx, Model& m) {
    ctx.part = "保留数据";
    ctx.in.bytes(m.reserved_block.data(), m.reserved_block.size());
    return ctx.check();
}

bool read_variables_programs(ReadContext& ctx, Model& m) {
    ByteReader& in = ctx.in;
    ctx.part = "变量";
    int n = ctx.count(MAX_VARIABLES, "变量");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) in.bytes(&m.variables[i], sizeof(Variable));
    m.variable_count = n;
    if (!ctx.check()) return false;

    ctx.part = "事件程序";
    n = ctx.count(MAX_PROGRAMS, "事件程序");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) in.bytes(&m.programs[i], sizeof(EventProgram));
    m.program_count = n;
    if (!ctx.check()) return false;
    // The interpreter indexes the 500 lines with the line count: a count
    // outside them is damage, not something to run.
    for (int i = 0; i < n; ++i) {
        const std::int32_t lines = m.programs[i].line_count;
        if (lines < 0 || lines > PROGRAM_LINES)
            return ctx.fail("第 " + std::to_string(i) + " 个事件程序的行数 " + std::to_string(lines) +
                            " 超出了允许的范围(0 到 " + std::to_string(PROGRAM_LINES) + ")。");
    }

    ctx.part = "函数曲线窗口";
    GraphWindow& w = m.graph_window;
    w.r0 = in.f64();
    w.r1 = in.f64();
    w.f0 = in.u8();
    w.r2 = in.f64();
    w.r3 = in.f64();
    w.f1 = in.u8();
    w.r4 = in.f64();
    w.r5 = in.f64();
    return ctx.check();
}

bool read_graphs(ReadContext& ctx, Model& m) {
    ctx.part = "函数曲线";
    const int n = ctx.count(MAX_GRAPHS, "函数曲线");
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) ctx.in.bytes(&m.graphs[i], sizeof(FunctionGraph));
    return ctx.check();
}

namespace {

// One stored text: n, then n bytes and a zero byte. The text is the n bytes up
// to the first zero among them; a missing terminator does not let the text run
// on into other bytes.
bool read_text(ReadContext& ctx, Text& out) {
    const std::int32_t n = ctx.in.i32();
    if (!ctx.check()) return false;
    if (n < 0 || n > MAX_TEXT_BYTES)
        return ctx.fail(std::string(ctx.part) + "中的文字长度 " + std::to_string(n) + " 不正确(应在 0 到 " +
                        std::to_string(MAX_TEXT_BYTES) + " 之间)。");
    const std::string_view body = ctx.in.take(static_cast<std::size_t>(n) + 1).substr(0, static_cast<std::size_t>(n));
    if (!ctx.check()) return false;
    const std::size_t end = body.find('\0');
    out.assign(body.data(), end == std::string_view::npos ? body.size() : end);
    return true;
}

bool read_element_names(ReadContext& ctx, Model& m, int first, int last) {
    for (int t = first; t <= last; ++t)
        for (int i = 0; i < MAX_ELEMENTS && element_present(m, t, i); ++i)
            if (!read_text(ctx, element_name(m, t, i))) return false;
    return true;
}

}  // namespace

bool read_texts(ReadContext& ctx, Model& m, const TextRules& rules) {
    ctx.part = "运动对象的文字";
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        const MovingObject& o = m.objects[i];
        if (rules.objects_by_rest_mass ? o.rest_mass == 0.0 : o.kind == 0) break;
        if (!read_text(ctx, m.object_texts[i].name) || !read_text(ctx, m.object_texts[i].second)) return false;
    }
    ctx.part = "辅助点的文字";
    for (int i = 0; i < MAX_POINTS && m.points[i].kind != 0; ++i)
        for (Text& t : m.point_texts[i])
            if (!read_text(ctx, t)) return false;
    ctx.part = "测量的文字";
    for (int i = 0; i < MAX_MEASUREMENTS && m.measurements[i].type != 0; ++i)
        for (Text& t : m.measurement_texts[i])
            if (!read_text(ctx, t)) return false;
    ctx.part = "文本块的文字";
    for (int i = 0; i < MAX_TEXT_BLOCKS && m.text_blocks[i].in_use != 0; ++i) {
        if (!read_text(ctx, m.text_block_font[i])) return false;
        const std::int32_t lines = ctx.in.i32();
        if (!ctx.check()) return false;
        // Every stored line takes at least five bytes; a count that cannot fit
        // in the rest of the file is damage, and refusing it early keeps a
        // corrupt count from running a long loop.
        if (lines < 0 || static_cast<std::size_t>(lines) > ctx.in.remaining() / 5)
            return ctx.fail("第 " + std::to_string(i) + " 个文本块的行数 " + std::to_string(lines) + " 不正确。");
        auto& list = m.text_block_lines[i];
        list.resize(static_cast<std::size_t>(lines));
        for (Text& t : list)
            if (!read_text(ctx, t)) return false;
    }
    ctx.part = "变量的文字";
    for (int i = 0; i < m.variable_count; ++i) {
        auto& t = m.variable_texts[i];
        if (!read_text(ctx, t[VT_NAME]) || !read_text(ctx, t[VT_DESCRIPTION]) || !read_text(ctx, t[VT_VALUE]))
            return false;
        t[VT_INITIAL] = t[VT_VALUE];
    }
    ctx.part = "事件程序";
    for (int i = 0; i < m.program_count; ++i)
        for (Text& line : m.program_lines[i])
            if (!read_text(ctx, line)) return false;
    ctx.part = "元素名称";
    if (!read_element_names(ctx, m, T_Z, T_CT)) return false;
    ctx.part = "标注的文字";
    for (int i = 0; i < MAX_ANNOTATIONS && m.annotations[i].in_use != 0; ++i)
        if (!read_text(ctx, m.annotation_text[i]) || !read_text(ctx, m.annotation_font[i])) return false;
    ctx.part = "元素名称";
    if (!read_element_names(ctx, m, T_SH, T_E_GAN)) return false;
    if (rules.with_graphs) {
        ctx.part = "函数曲线的文字";
        for (int i = 0; i < MAX_GRAPHS && m.graphs[i].kind != 0; ++i) {
            for (Text& t : m.graph_texts1[i])
                if (!read_text(ctx, t)) return false;
            for (Text& t : m.graph_texts2[i])
                if (!read_text(ctx, t)) return false;
        }
    }
    return true;
}

namespace {

// A size word and the bytes it counts; false when the size is negative or the
// bytes run past the end.
bool read_sized(ReadContext& ctx, std::string_view& out) {
    const std::int32_t size = ctx.in.i32();
    if (!ctx.check()) return false;
    if (size < 0) return ctx.fail(std::string(ctx.part) + "的大小 " + std::to_string(size) + " 不正确。");
    out = ctx.in.take(static_cast<std::size_t>(size));
    return ctx.check();
}

}  // namespace

bool read_object_picture(ReadContext& ctx, Model& m, int slot) {
    ctx.part = "运动对象的图片";
    std::string_view bytes;
    if (!read_sized(ctx, bytes)) return false;
    QImage image = decode_bmp(bytes);
    if (image.isNull()) return ctx.fail("第 " + std::to_string(slot) + " 个运动对象的图片无法解码。");
    m.object_pictures[slot] = std::move(image);
    m.object_picture_bytes[slot].assign(bytes);
    return true;
}

bool read_background_picture(ReadContext& ctx, Model& m) {
    ctx.part = "背景图片";
    std::string_view bytes;
    if (!read_sized(ctx, bytes)) return false;
    QImage image = decode_jpeg(bytes);
    if (image.isNull()) return ctx.fail("背景图片(JPEG)无法解码。");
    m.background_picture = std::move(image);
    m.background_jpeg.assign(bytes);
    return true;
}

std::string_view storable_text(std::string_view t) {
    t = t.substr(0, t.find('\0'));
    if (t.size() <= static_cast<std::size_t>(MAX_TEXT_BYTES)) return t;
    // Cut at a character boundary: in GBK a byte of 0x81 or above starts a
    // two-byte character.
    std::size_t end = 0;
    while (end < t.size()) {
        const std::size_t step = static_cast<unsigned char>(t[end]) >= 0x81 ? 2 : 1;
        if (end + step > static_cast<std::size_t>(MAX_TEXT_BYTES)) break;
        end += step;
    }
    return t.substr(0, end);
}

}  // namespace quorrel
