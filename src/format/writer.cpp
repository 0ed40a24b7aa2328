// Writing both stored formats. The writer emits exactly what the readers
// read, reserved words and blocks included, and walks every list with the
// same rule the reader uses so that the texts line up with their records.
#include <algorithm>
#include <climits>

#include "format/binary_io.h"
#include "format/io.h"
#include "format/pictures.h"
#include "format/read_common.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

void write_text(ByteWriter& w, std::string_view t) {
    const std::string_view body = storable_text(t);
    w.i32(static_cast<std::int32_t>(body.size()));
    w.bytes(body);
    w.u8(0);
}

void write_settings(ByteWriter& w, const Settings& s) {
    w.i32(s.steps_per_frame);
    w.i32(s.origin_x);
    w.i32(s.origin_y);
    w.f64(s.scale);
    w.f64(s.time_step);
    w.u8(s.show_axes);
    w.u8(s.show_grid);
    w.u8(s.show_fine_grid);
    w.i32(s.axes_colour);
    w.i32(s.line_width);
    w.i32(s.background_colour);
    w.f64(s.v_scale);
    w.f64(s.a_scale);
    w.i32(s.v_colour);
    w.i32(s.a_colour);
    w.f64(s.f_scale);
    for (Colour c : s.force_colours) w.i32(c);
    w.f64(s.pause_time);
    w.f64(s.g);
    w.f64(s.G);
    w.f64(s.k);
    w.f64(s.c);
}

void write_physics_flags(ByteWriter& w, const Settings& s) {
    w.u8(s.use_gravity);
    w.u8(s.use_mutual_gravitation);
    w.u8(s.use_mutual_charge);
    w.u8(s.use_relativity);
    w.u8(s.use_collisions);
    w.i32(s.selected_object);
}

void write_objects(ByteWriter& w, const Model& m) {
    const int n = object_count(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.objects[i], sizeof(MovingObject));
}

void write_elements(ByteWriter& w, const Model& m) {
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        const int n = element_count(m, t);
        w.i32(n);
        double reals[11];
        for (int i = 0; i < n; ++i) {
            get_element(m, t, i, reals);
            w.bytes(reals, sizeof(double) * element_reals(t));
        }
        w.i32(element_reserved(m, t));
    }
}

void write_scene_lists(ByteWriter& w, const Model& m) {
    int n = measurement_count(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.measurements[i], sizeof(Measurement));
    n = text_block_count(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.text_blocks[i], sizeof(TextBlock));
    n = point_count(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.points[i], POINT_STORED);
    w.i32(m.reserved_word8);
    n = annotation_count(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.annotations[i], sizeof(Annotation));
}

int variable_total(const Model& m) {
    return std::clamp(m.variable_count, 0, MAX_VARIABLES);
}
int program_total(const Model& m) {
    return std::clamp(m.program_count, 0, MAX_PROGRAMS);
}

void write_variables_programs(ByteWriter& w, const Model& m) {
    int n = variable_total(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.variables[i], sizeof(Variable));
    n = program_total(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) {
        EventProgram p = m.programs[i];
        // The reader refuses line counts outside the 500 stored lines.
        p.line_count = std::clamp(p.line_count, 0, PROGRAM_LINES);
        w.bytes(&p, sizeof p);
    }
    const GraphWindow& g = m.graph_window;
    w.f64(g.r0);
    w.f64(g.r1);
    w.u8(g.f0);
    w.f64(g.r2);
    w.f64(g.r3);
    w.u8(g.f1);
    w.f64(g.r4);
    w.f64(g.r5);
}

void write_graphs(ByteWriter& w, const Model& m) {
    const int n = graph_count(m);
    w.i32(n);
    for (int i = 0; i < n; ++i) w.bytes(&m.graphs[i], sizeof(FunctionGraph));
}

void write_element_names(ByteWriter& w, const Model& m, int first, int last) {
    for (int t = first; t <= last; ++t)
        for (int i = 0, n = element_count(m, t); i < n; ++i) write_text(w, element_name(m, t, i));
}

// The texts, walked with the reader's rules over the records just written.
void write_texts(ByteWriter& w, const Model& m, const TextRules& rules) {
    for (int i = 0, n = object_count(m); i < n; ++i) {
        if (rules.objects_by_rest_mass && m.objects[i].rest_mass == 0.0) break;
        write_text(w, m.object_texts[i].name);
        write_text(w, m.object_texts[i].second);
    }
    for (int i = 0, n = point_count(m); i < n; ++i)
        for (const Text& t : m.point_texts[i]) write_text(w, t);
    for (int i = 0, n = measurement_count(m); i < n; ++i)
        for (const Text& t : m.measurement_texts[i]) write_text(w, t);
    for (int i = 0, n = text_block_count(m); i < n; ++i) {
        write_text(w, m.text_block_font[i]);
        const auto& lines = m.text_block_lines[i];
        w.i32(static_cast<std::int32_t>(std::min<std::size_t>(lines.size(), INT32_MAX)));
        for (const Text& t : lines) write_text(w, t);
    }
    for (int i = 0, n = variable_total(m); i < n; ++i) {
        const auto& t = m.variable_texts[i];
        write_text(w, t[VT_NAME]);
        write_text(w, t[VT_DESCRIPTION]);
        write_text(w, t[VT_VALUE]);
    }
    for (int i = 0, n = program_total(m); i < n; ++i)
        for (const Text& line : m.program_lines[i]) write_text(w, line);
    write_element_names(w, m, T_Z, T_CT);
    for (int i = 0, n = annotation_count(m); i < n; ++i) {
        write_text(w, m.annotation_text[i]);
        write_text(w, m.annotation_font[i]);
    }
    write_element_names(w, m, T_SH, T_E_GAN);
    if (rules.with_graphs) {
        for (int i = 0, n = graph_count(m); i < n; ++i) {
            for (const Text& t : m.graph_texts1[i]) write_text(w, t);
            for (const Text& t : m.graph_texts2[i]) write_text(w, t);
        }
    }
}

// The bitmap file stored for an object: the bytes it was read with, else its
// decoded picture, else the generated ball.
std::string object_bitmap(const Model& m, int slot) {
    if (!m.object_picture_bytes[slot].empty()) return m.object_picture_bytes[slot];
    std::string bmp = encode_bmp(m.object_pictures[slot]);
    if (bmp.empty()) bmp = encode_bmp(make_ball_picture(m, slot));
    return bmp;
}

void write_sized(ByteWriter& w, std::string_view bytes) {
    w.i32(static_cast<std::int32_t>(bytes.size()));
    w.bytes(bytes);
}

std::string background_bytes(const Model& m) {
    if (!m.background_jpeg.empty()) return m.background_jpeg;
    return encode_jpeg(m.background_picture);
}

// The mode byte and the picture. Where the format demands bytes after a
// non-zero mode and there is no picture, the mode is stored as 0: nothing
// would be drawn either way, and the file stays readable.
void write_background(ByteWriter& w, const Model& m, bool container) {
    const std::uint8_t mode = m.settings.background_mode;
    const std::string bytes = mode != 0 ? background_bytes(m) : std::string();
    const bool demanded = container ? mode == 1 : mode != 0;
    if (bytes.empty()) {
        w.u8(demanded ? 0 : mode);
        return;
    }
    w.u8(mode);
    write_sized(w, bytes);
}

// The same pixels, whatever the formats they are held in.
bool same_pixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

std::string quoted(std::string_view gbk) {
    return "「" + gbk_to_utf8(gbk) + "」";
}

}  // namespace

std::string experiment_file_loss(const Model& m) {
    for (int i = 0, n = variable_total(m); i < n; ++i) {
        const auto& t = m.variable_texts[i];
        if (t[VT_VALUE] != t[VT_INITIAL])
            return "第 " + std::to_string(i) + " 个变量" + quoted(t[VT_NAME]) + "的值" + quoted(t[VT_VALUE]) +
                   "与初值" + quoted(t[VT_INITIAL]) + "不同:实验文件每个变量只存一个值,读回时初值等于值。";
    }
    // Without the flag the file stores no picture: the reader makes the ball
    // again, transparent on black, for the objects before the first without a
    // rest mass, and leaves the others without a picture.
    bool balls = true;
    for (int i = 0, n = object_count(m); i < n; ++i) {
        const MovingObject& o = m.objects[i];
        balls = balls && o.rest_mass != 0.0;
        const std::string object = "第 " + std::to_string(i) + " 个运动对象" + quoted(m.object_texts[i].name);
        const QImage& picture = m.object_pictures[i];
        // The file demands the bitmap of every flagged object.
        if (o.own_picture == 1) {
            if (picture.isNull() && m.object_picture_bytes[i].empty())
                return object + "的 own_picture 为 1 却没有图片:实验文件为它必须存一幅图片。";
            continue;
        }
        // A picture without stored bytes was generated (it is made again on
        // reading); stored bytes are lost unless they are just that ball.
        if (!m.object_picture_bytes[i].empty() && !(balls && same_pixels(picture, make_ball_picture(m, i))))
            return object + "有图片但 own_picture 不是 1:实验文件只存 own_picture 为 1 的对象的图片。";
        if (balls && (o.transparent != 1 || o.transparent_colour != 0))
            return object +
                   "没有自己的图片,在实验文件中读回时是透明在黑色上的小球(transparent 1、"
                   "transparent_colour 0x000000),这里却不是。";
    }
    if (m.graph_title != gbk::UNNAMED_CURVE)
        return "graph_title 为" + quoted(m.graph_title) + ":实验文件不存这个标题,读回时总是" +
               quoted(gbk::UNNAMED_CURVE) + "。";
    const std::uint8_t mode = m.settings.background_mode;
    if (mode == 0 && !m.background_picture.isNull())
        return "有背景图片但 background_mode 为 0:实验文件只在背景方式不为 0 时存背景图片。";
    if (mode != 0 && background_bytes(m).empty())
        return "background_mode 为 " + std::to_string(mode) + " 但没有背景图片:实验文件在这种方式后必须存图片。";
    return {};
}

std::string write_experiment(const Model& m, bool with_graphs) {
    ByteWriter w;
    w.bytes(EXPERIMENT_MAGIC);
    w.u8(with_graphs ? '5' : '2');
    write_settings(w, m.settings);
    write_physics_flags(w, m.settings);
    write_elements(w, m);
    write_scene_lists(w, m);
    write_objects(w, m);
    w.i32(m.reserved_word1);
    w.bytes(m.reserved_block.data(), m.reserved_block.size());
    write_variables_programs(w, m);
    if (with_graphs) write_graphs(w, m);
    write_texts(w, m, TextRules{.objects_by_rest_mass = false, .with_graphs = with_graphs});
    for (int i = 0, n = object_count(m); i < n; ++i)
        if (m.objects[i].own_picture == 1) write_sized(w, object_bitmap(m, i));
    write_background(w, m, false);
    return std::move(w.str());
}

std::string write_container(const Model& m) {
    ByteWriter w;
    w.bytes("ssmw");
    w.zeros(2);
    w.u8('3');
    w.zeros(1);
    w.bytes("50");
    const Toolbar& t = m.toolbar;
    for (std::int32_t v : {t.hide_toolbar, t.reserved14, t.show_settings_button, t.reserved22, t.reserved26,
                           t.show_run_buttons, t.show_time, t.show_exit_button})
        w.i32(v);
    write_settings(w, m.settings);
    write_objects(w, m);
    w.i32(m.reserved_word1);
    write_physics_flags(w, m.settings);
    write_elements(w, m);
    write_scene_lists(w, m);
    w.bytes(m.reserved_block.data(), m.reserved_block.size());
    write_variables_programs(w, m);
    write_graphs(w, m);
    write_texts(w, m, TextRules{.objects_by_rest_mass = true, .with_graphs = true});
    for (int i = 0, n = object_count(m); i < n && m.objects[i].rest_mass != 0.0; ++i)
        write_sized(w, object_bitmap(m, i));
    write_background(w, m, true);
    return std::move(w.str());
}

std::string pack_player(std::string_view player_bytes, const Model& m) {
    // The trailer is an int32 offset: a player beyond 2 GiB cannot be packed.
    if (player_bytes.size() > static_cast<std::size_t>(INT32_MAX)) return {};
    std::string out(player_bytes);
    out += write_container(m);
    ByteWriter trailer;
    trailer.i32(static_cast<std::int32_t>(player_bytes.size()));
    out += trailer.str();
    return out;
}

}  // namespace quorrel
