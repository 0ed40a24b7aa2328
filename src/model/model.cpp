#include "model/model.h"

#include <algorithm>
#include <cstring>

#include "model/gbk.h"
#include "model/visit_table.h"

namespace quorrel {
namespace {

template <class T>
void zero(T& rec) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memset(static_cast<void*>(&rec), 0, sizeof rec);
}

void reset_settings(Settings& s) {
    s.steps_per_frame = 100;
    s.origin_x = 200;
    s.origin_y = 150;
    s.scale = 10.0;
    s.time_step = 0.001;
    s.show_axes = 1;
    s.line_width = 1;
    s.background_colour = 0;
    s.background_mode = 0;
    s.g = 9.8;
    s.G = 6.672e-11;
    s.k = 9e9;
    s.c = 3e8;
    s.use_gravity = s.use_mutual_gravitation = s.use_mutual_charge = s.use_relativity = s.use_collisions = 0;
    s.selected_object = -1;
}

}  // namespace

void init_kept_settings(Model& m) {
    Settings& s = m.settings;
    s.show_grid = 0;
    s.show_fine_grid = 0;
    s.axes_colour = 0x808080;
    s.v_scale = 1.0;
    s.a_scale = 1.0;
    s.f_scale = 1.0;
    s.v_colour = 0x00FF00;
    s.a_colour = 0x0000FF;
    static constexpr Colour force_defaults[FORCE_COLOURS] = {0x00FFFF, 0xFF00FF, 0xFFFF00, 0x0080FF, 0xFF8000, 0x8000FF,
                                                             0x00FF80, 0x80FF00, 0xFF0080, 0x808000, 0x008080};
    for (int i = 0; i < FORCE_COLOURS; ++i) s.force_colours[i] = force_defaults[i];
    s.pause_time = 0.0;
    m.digits = 4;
}

void reset_variables(Model& m) {
    for (int i = 0; i < MAX_VARIABLES; ++i) {
        zero(m.variables[i]);
        auto& t = m.variable_texts[i];
        t[VT_NAME].clear();
        t[VT_DESCRIPTION].clear();
        t[VT_VALUE] = "0";
        t[VT_INITIAL] = "0";
    }
    m.variable_texts[0][VT_NAME] = "t";
    m.variable_texts[0][VT_DESCRIPTION] = gbk::TIME_VARIABLE_DESCRIPTION;
    m.variable_count = 1;
}

ProgramLines& ProgramLines::operator=(const ProgramLines& o) {
    if (this == &o) return *this;
    for (std::size_t p = 0; p < MAX_PROGRAMS; ++p) {
        if (o.programs_[p])
            (*this)[p] = *o.programs_[p];
        else if (programs_[p])
            for (Text& line : *programs_[p]) line.clear();
    }
    return *this;
}

void ProgramLines::clear() {
    for (std::unique_ptr<Program>& p : programs_)
        if (p)
            for (Text& line : *p) line.clear();
}

const ProgramLines::Program& ProgramLines::empty_program() {
    static const Program empty{};
    return empty;
}

void reset_programs(Model& m) {
    for (EventProgram& p : m.programs) zero(p);
    m.program_lines.clear();
    m.programs[0].word[0] = 3;
    m.program_count = 1;
}

void reset_model(Model& m) {
    reset_settings(m.settings);
    m.sim_time = 0.0;
    m.present.fill(0);
    m.reserved_word1 = 0;
    m.reserved_word8 = 0;
    m.reserved_block.fill(0);
    m.toolbar = Toolbar{};
    m.has_toolbar = false;
    m.settings.background_mode = 0;
    m.background_picture = QImage();
    m.background_jpeg.clear();

    reset_variables(m);
    reset_programs(m);

    for (int i = 0; i < MAX_MEASUREMENTS; ++i) {
        zero(m.measurements[i]);
        m.measurements[i].show_lines = 1;
        for (Text& t : m.measurement_texts[i]) t.clear();
        zero(m.prev_measurements[i]);
        for (Text& t : m.prev_measurement_texts[i]) t.clear();
    }
    for (int i = 0; i < MAX_TEXT_BLOCKS; ++i) {
        zero(m.text_blocks[i]);
        m.text_blocks[i].font.colour = 0xFF0000;
        m.text_block_font[i].clear();
        m.text_block_lines[i].clear();
    }
    for (int i = 0; i < MAX_POINTS; ++i) {
        Point& p = m.points[i];
        zero(p);
        p.vector_scale = 1.0;
        p.colour = 0xFFFF00;
        auto& t = m.point_texts[i];
        for (Text& s : t) s.clear();
        t[PT_VECTOR_X] = "0";
        t[PT_VECTOR_Y] = "0";
    }
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        zero(m.objects[i]);
        m.objects[i].strobe_interval = 1.0;
        m.object_texts[i].name.clear();
        m.object_texts[i].second.clear();
        m.object_pictures[i] = QImage();
        m.object_picture_bytes[i].clear();
        zero(m.forces[i]);
    }
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        visit_table(m, t, [](auto& list) {
            for (auto& r : list.rec) zero(r);
            for (Text& n : list.name) n.clear();
            list.reserved = 0;
        });
    }
    m.graph_window = GraphWindow{0, 10, 0, 0, 1, 1, 0, 1};
    m.graph_title = gbk::UNNAMED_CURVE;
    for (int i = 0; i < MAX_GRAPHS; ++i) {
        FunctionGraph& g = m.graphs[i];
        zero(g);
        g.x_scale = 1.0;
        g.y_scale = 1.0;
        g.origin_x = 120.0;
        g.origin_y = 120.0;
        g.background = 0xFFFFFF;
        for (Colour& c : g.curve_colour) c = 0x800000;
        for (Text& s : m.graph_texts1[i]) s.clear();
        for (Text& s : m.graph_texts2[i]) s.clear();
        m.graph_pictures[i] = QImage();
    }
    for (int i = 0; i < MAX_ANNOTATIONS; ++i) {
        zero(m.annotations[i]);
        m.annotation_text[i].clear();
        m.annotation_font[i].clear();
    }

    m.running = false;
    m.next_pause = 0.0;
    m.stop_message.clear();
    zero(m.step);
    m.snapshot.taken = false;
}

std::unique_ptr<Model> make_model() {
    auto m = std::make_unique<Model>();
    init_kept_settings(*m);
    reset_model(*m);
    return m;
}

int object_count(const Model& m) {
    int n = 0;
    while (n < MAX_OBJECTS && m.objects[n].kind != 0) ++n;
    return n;
}
int measurement_count(const Model& m) {
    int n = 0;
    while (n < MAX_MEASUREMENTS && m.measurements[n].type != 0) ++n;
    return n;
}
int text_block_count(const Model& m) {
    int n = 0;
    while (n < MAX_TEXT_BLOCKS && m.text_blocks[n].in_use != 0) ++n;
    return n;
}
int point_count(const Model& m) {
    int n = 0;
    while (n < MAX_POINTS && m.points[n].kind != 0) ++n;
    return n;
}
int annotation_count(const Model& m) {
    int n = 0;
    while (n < MAX_ANNOTATIONS && m.annotations[n].in_use != 0) ++n;
    return n;
}
int graph_count(const Model& m) {
    int n = 0;
    while (n < MAX_GRAPHS && m.graphs[n].kind != 0) ++n;
    return n;
}

int element_reals(int table) {
    return ELEMENT_REALS[table];
}

void get_element(const Model& m, int table, int slot, double* out) {
    visit_table(m, table, [&](const auto& list) { std::memcpy(out, &list.rec[slot], sizeof list.rec[slot]); });
}

void set_element(Model& m, int table, int slot, const double* in) {
    visit_table(m, table, [&](auto& list) { std::memcpy(&list.rec[slot], in, sizeof list.rec[slot]); });
}

bool element_present(const Model& m, int table, int slot) {
    double v[11];
    get_element(m, table, slot, v);
    if (table == T_TB) return v[0] != 0.0 || v[1] != 0.0;
    return v[ELEMENT_PRESENCE[table]] != 0.0;
}

int element_count(const Model& m, int table) {
    int n = 0;
    while (n < MAX_ELEMENTS && element_present(m, table, n)) ++n;
    return n;
}

Text& element_name(Model& m, int table, int slot) {
    return visit_table(m, table, [&](auto& list) -> Text& { return list.name[slot]; });
}
const Text& element_name(const Model& m, int table, int slot) {
    return visit_table(m, table, [&](const auto& list) -> const Text& { return list.name[slot]; });
}
std::int32_t& element_reserved(Model& m, int table) {
    return visit_table(m, table, [&](auto& list) -> std::int32_t& { return list.reserved; });
}

std::int32_t element_reserved(const Model& m, int table) {
    return visit_table(m, table, [&](const auto& list) { return list.reserved; });
}

int find_object(const Model& m, std::string_view name) {
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != 0; ++i)
        if (m.object_texts[i].name == name) return i;
    return -1;
}

int find_point(const Model& m, std::string_view name) {
    for (int i = 0; i < MAX_POINTS && m.points[i].kind != 0; ++i)
        if (m.point_texts[i][PT_NAME] == name) return i;
    return -1;
}

int find_variable(const Model& m, std::string_view name) {
    for (int i = 0; i < m.variable_count && i < MAX_VARIABLES; ++i) {
        const Text& n = m.variable_texts[i][VT_NAME];
        if (n.empty()) break;
        if (n == name) return i;
    }
    return -1;
}

void take_snapshot(Model& m) {
    Snapshot& s = m.snapshot;
    s.objects = m.objects;
    s.object_texts = m.object_texts;
    s.points = m.points;
    s.point_texts = m.point_texts;
    s.taken = true;
}

void restore_snapshot(Model& m) {
    const Snapshot& s = m.snapshot;
    if (!s.taken) return;
    m.objects = s.objects;
    m.object_texts = s.object_texts;
    m.points = s.points;
    m.point_texts = s.point_texts;
}

}  // namespace quorrel
