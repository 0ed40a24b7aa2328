#include "io_fixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <cmath>
#include <cstring>
#include <limits>

#include "format/fields.h"
#include "format/io.h"
#include "format/pictures.h"

namespace quorrel::testing_io {
namespace {

// Deterministic bytes, so that every field gets a value unlike its neighbours.
struct Bytes {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    void fill(void* p, std::size_t n) {
        auto* b = static_cast<unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(next());
    }
};

// A distinct text with a GBK character in it ("测" is B2 E2).
Text text(const char* tag, int a, int b = 0) {
    return std::string(tag) + std::to_string(a) + "\xb2\xe2" + std::to_string(b);
}

void fill_settings(Model& m) {
    Settings& s = m.settings;
    s.steps_per_frame = 37;
    s.origin_x = -123;
    s.origin_y = 456;
    s.scale = 0.75;
    s.time_step = 0.0025;
    s.show_axes = 2;
    s.show_grid = 3;
    s.show_fine_grid = 4;
    s.axes_colour = 0x102030;
    s.line_width = 2;
    s.background_colour = 0x405060;
    s.v_scale = 1.25;
    s.a_scale = 2.5;
    s.v_colour = 0x708090;
    s.a_colour = 0xA0B0C0;
    s.f_scale = 3.75;
    for (int i = 0; i < FORCE_COLOURS; ++i) s.force_colours[i] = 0x010101 * (i + 1) + 7;
    s.pause_time = 4.5;
    s.g = 9.81;
    s.G = 6.7e-11;
    s.k = 8.99e9;
    s.c = 2.99e8;
    s.use_gravity = 5;
    s.use_mutual_gravitation = 6;
    s.use_mutual_charge = 7;
    s.use_relativity = 8;
    s.use_collisions = 9;
    s.selected_object = 11;
    m.reserved_word1 = 0x11223344;
    m.reserved_word8 = 0x55667788;
    for (std::size_t i = 0; i < m.reserved_block.size(); ++i)
        m.reserved_block[i] = static_cast<std::uint8_t>(i * 5 + 1);
    m.toolbar = Toolbar{2, 3, 4, 5, 6, 7, 8, 9};
    m.graph_window = GraphWindow{1.5, 2.5, 3, 4.5, 5.5, 6, 7.5, 8.5};
}

void fill_object(Model& m, Bytes& rnd, int i) {
    MovingObject& o = m.objects[i];
    rnd.fill(&o, sizeof o);
    o.kind = 1 + i % 4;
    o.rest_mass = 1.0 + i;
    o.radius = 2.0 + i % 7;
    o.own_picture = i % 2 == 0 ? 1 : 0;
    m.object_texts[i].name = text("obj", i);
    m.object_texts[i].second = text("obj2nd", i);
    if (i % 3 == 0) {
        m.object_picture_bytes[i] = tiny_bmp(qRgb(i * 5, 255 - i, 7), 2 + i % 3, 3);
        m.object_pictures[i] = decode_bmp(m.object_picture_bytes[i]);
    } else if (i % 3 == 1) {
        QImage img(4, 3, QImage::Format_RGB32);
        img.fill(qRgb(10, i * 4, 200));
        m.object_pictures[i] = img;
    }
}

void fill_elements(Model& m, Bytes& rnd, int count) {
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        for (int i = 0; i < count; ++i) {
            double reals[11];
            rnd.fill(reals, sizeof reals);
            reals[ELEMENT_PRESENCE[t]] = 0.5 + i;
            set_element(m, t, i, reals);
            element_name(m, t, i) = text(ELEMENT_CODES[t], i);
        }
        element_reserved(m, t) = 1000 + t;
    }
}

void fill_lists(Model& m, Bytes& rnd, int count) {
    for (int i = 0; i < count; ++i) {
        rnd.fill(&m.measurements[i], sizeof(Measurement));
        m.measurements[i].type = 1 + i % 3;
        for (int k = 0; k < MEASUREMENT_TEXTS; ++k) m.measurement_texts[i][k] = text("mt", i, k);

        rnd.fill(&m.text_blocks[i], sizeof(TextBlock));
        m.text_blocks[i].in_use = 1 + i;
        m.text_block_font[i] = text("font", i);
        for (int k = 0; k < i % 4; ++k) m.text_block_lines[i].push_back(text("line", i, k));

        rnd.fill(&m.points[i], POINT_STORED);
        m.points[i].kind = 1 + i;
        for (int k = 0; k < POINT_TEXTS; ++k) m.point_texts[i][k] = text("pt", i, k);

        rnd.fill(&m.annotations[i], sizeof(Annotation));
        m.annotations[i].in_use = 1 + i % 2;
        m.annotation_text[i] = text("ann", i);
        m.annotation_font[i] = text("annfont", i);
    }
}

void fill_graphs(Model& m, Bytes& rnd, int count) {
    for (int i = 0; i < count; ++i) {
        rnd.fill(&m.graphs[i], sizeof(FunctionGraph));
        m.graphs[i].kind = 1 + i;
        for (int k = 0; k < CURVES; ++k) {
            m.graph_texts1[i][k] = text("gx", i, k);
            m.graph_texts2[i][k] = text("gy", i, k);
        }
    }
}

void fill_variables(Model& m, Bytes& rnd, int count) {
    for (int i = 0; i < count; ++i) {
        rnd.fill(&m.variables[i], sizeof(Variable));
        auto& t = m.variable_texts[i];
        t[VT_NAME] = text("v", i);
        t[VT_DESCRIPTION] = text("desc", i);
        t[VT_VALUE] = std::to_string(i) + ".5";
        t[VT_INITIAL] = "initial differs";
    }
    m.variable_count = count;
}

void fill_programs(Model& m, Bytes& rnd, int count, int lines) {
    for (int i = 0; i < count; ++i) {
        rnd.fill(&m.programs[i], sizeof(EventProgram));
        m.programs[i].line_count = (i * 7) % (PROGRAM_LINES + 1);
        for (int k = 0; k < lines; ++k) m.program_lines[i][k] = "p" + std::to_string(i) + ":" + std::to_string(k);
    }
    m.program_count = count;
}

QImage to_rgb32(const QImage& i) {
    return i.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

std::string tiny_bmp(QRgb colour, int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(colour);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    return encode_bmp(img);
}

std::string tiny_jpeg() {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(qRgb(200, 100, 50));
    return encode_jpeg(img);
}

std::unique_ptr<Model> full_model() {
    auto m = make_model();
    Bytes rnd{42};
    fill_settings(*m);
    for (int i = 0; i < MAX_OBJECTS; ++i) fill_object(*m, rnd, i);
    fill_elements(*m, rnd, MAX_ELEMENTS);
    fill_lists(*m, rnd, MAX_MEASUREMENTS);
    fill_graphs(*m, rnd, MAX_GRAPHS);
    fill_variables(*m, rnd, MAX_VARIABLES);
    fill_programs(*m, rnd, MAX_PROGRAMS, PROGRAM_LINES);
    // The longest text a stored text can hold.
    m->variable_texts[299][VT_DESCRIPTION] = std::string(MAX_TEXT_BYTES, 'x');
    m->settings.background_mode = 1;
    m->background_jpeg = tiny_jpeg();
    m->background_picture = decode_jpeg(m->background_jpeg);
    return m;
}

std::unique_ptr<Model> small_model() {
    auto m = make_model();
    Bytes rnd{7};
    fill_settings(*m);
    fill_object(*m, rnd, 0);  // own bitmap bytes
    fill_object(*m, rnd, 2);
    m->objects[1] = m->objects[2];
    m->object_texts[1] = m->object_texts[2];
    m->objects[2].kind = 0;
    m->objects[1].own_picture = 0;
    m->object_pictures[2] = QImage();
    fill_elements(*m, rnd, 1);
    fill_lists(*m, rnd, 2);
    fill_graphs(*m, rnd, 1);
    fill_variables(*m, rnd, 2);
    fill_programs(*m, rnd, 1, 2);
    m->settings.background_mode = 1;
    m->background_jpeg = tiny_jpeg();
    m->background_picture = decode_jpeg(m->background_jpeg);
    return m;
}

std::unique_ptr<Model> odd_model() {
    auto m = small_model();
    m->objects[0].vx = std::numeric_limits<double>::quiet_NaN();
    m->objects[0].prev_x = -std::numeric_limits<double>::infinity();
    m->graph_window.r0 = std::numeric_limits<double>::infinity();
    m->objects[0].fx = -0.0;
    m->objects[0].reserved4 = -7;
    m->objects[0].pad477[1] = 0xAB;
    m->object_texts[0].name = "\xff\x81 \xd0\xa1\xc7\xf2 \x81";  // broken bytes around 小球
    m->object_texts[0].second = "quote \" backslash \\ tab \t newline \n bell \x07 end";
    m->measurements[0].reserved60 = 99;
    m->annotations[0].font.pad13[2] = 5;
    m->reserved_word1 = 11;
    m->reserved_block[49] = 0xFE;
    element_reserved(*m, T_CT) = -3;
    m->graph_window.r4 = 2.5;
    m->graph_title = "\x80\xa0";
    m->program_count = 6;
    m->program_lines[5][0] = "x=1";
    m->programs[5].line_count = 1;
    m->programs[3].word[2] = 4;
    m->has_toolbar = true;
    m->toolbar.show_time = 0;
    m->toolbar.reserved22 = 8;
    return m;
}

void make_experiment_values_finite(Model& m) {
    for (const Section& s : SECTIONS)
        for (int slot = 0; s.id != SectionId::Reserved && slot < section_count(m, s); ++slot)
            for (const Field& f : s.fields) {
                if (!must_be_finite(f)) continue;
                std::byte* at = record_ref(m, s, slot).bytes + f.offset;
                for (int i = 0; i < f.count; ++i, at += sizeof(double)) {
                    double d;
                    std::memcpy(&d, at, sizeof d);
                    if (std::isfinite(d)) continue;
                    d = slot + 0.5;
                    std::memcpy(at, &d, sizeof d);
                }
            }
}

std::vector<NamedModel> every_fixture() {
    std::vector<NamedModel> all;
    auto full = full_model();
    make_experiment_values_finite(*full);
    all.push_back({"full", std::move(full)});
    all.push_back({"small", small_model()});
    all.push_back({"odd", odd_model()});
    return all;
}

std::unique_ptr<Model> expected_after_read(const Model& source, Format format) {
    auto e = std::make_unique<Model>(source);
    Model& m = *e;
    const bool container = format == Format::Container;
    const auto blank = make_model();
    for (int i = 0; i < m.variable_count; ++i) m.variable_texts[i][VT_INITIAL] = m.variable_texts[i][VT_VALUE];
    if (!container) {
        m.toolbar = Toolbar{};
        m.has_toolbar = false;
    } else {
        m.has_toolbar = true;
    }
    if (format == Format::ExperimentNoGraphs) {
        m.graphs = blank->graphs;
        m.graph_texts1 = blank->graph_texts1;
        m.graph_texts2 = blank->graph_texts2;
    }
    const int n = object_count(m);
    int carried = 0;  // objects whose texts (and, in a container, pictures) are stored
    while (carried < n && (container ? m.objects[carried].rest_mass != 0.0 : true)) ++carried;
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        MovingObject& o = m.objects[i];
        if (i >= carried) {
            m.object_texts[i] = ObjectTexts{};
            if (i >= n) o = blank->objects[i];
        }
        // Pictures as a reader produces them.
        const bool stored = container ? i < carried : i < n && o.own_picture == 1;
        if (stored) {
            if (m.object_picture_bytes[i].empty()) {
                if (m.object_pictures[i].isNull()) m.object_pictures[i] = make_ball_picture(source, i);
                m.object_picture_bytes[i] = encode_bmp(m.object_pictures[i]);
            }
            m.object_pictures[i] = to_rgb32(m.object_pictures[i]);
        } else {
            m.object_pictures[i] = QImage();
            m.object_picture_bytes[i].clear();
        }
    }
    if (container) {
        for (int i = 0; i < n; ++i)
            if (m.objects[i].kind == KIND_BLOCK || m.objects[i].kind == KIND_INCLINE) {
                m.objects[i].transparent_colour = 0xFFFFFF;
                m.objects[i].transparent = 1;
            }
    } else {
        for (int i = 0; i < MAX_OBJECTS && m.objects[i].rest_mass != 0.0; ++i)
            if (m.objects[i].own_picture != 1) {
                m.object_pictures[i] = make_ball_picture(m, i);
                m.objects[i].transparent_colour = 0;
                m.objects[i].transparent = 1;
            }
    }
    return e;
}

#define EXPECT_SAME_BYTES(a, b, n, what, slot) EXPECT_EQ(std::memcmp(&(a), &(b), n), 0) << what << " " << slot

void expect_same_model(const Model& e, const Model& a) {
    const Settings& x = e.settings;
    const Settings& y = a.settings;
    EXPECT_EQ(x.steps_per_frame, y.steps_per_frame);
    EXPECT_EQ(x.origin_x, y.origin_x);
    EXPECT_EQ(x.origin_y, y.origin_y);
    EXPECT_EQ(x.scale, y.scale);
    EXPECT_EQ(x.time_step, y.time_step);
    EXPECT_EQ(x.show_axes, y.show_axes);
    EXPECT_EQ(x.show_grid, y.show_grid);
    EXPECT_EQ(x.show_fine_grid, y.show_fine_grid);
    EXPECT_EQ(x.axes_colour, y.axes_colour);
    EXPECT_EQ(x.line_width, y.line_width);
    EXPECT_EQ(x.background_colour, y.background_colour);
    EXPECT_EQ(x.v_scale, y.v_scale);
    EXPECT_EQ(x.a_scale, y.a_scale);
    EXPECT_EQ(x.v_colour, y.v_colour);
    EXPECT_EQ(x.a_colour, y.a_colour);
    EXPECT_EQ(x.f_scale, y.f_scale);
    for (int i = 0; i < FORCE_COLOURS; ++i) EXPECT_EQ(x.force_colours[i], y.force_colours[i]) << i;
    EXPECT_EQ(x.pause_time, y.pause_time);
    EXPECT_EQ(x.g, y.g);
    EXPECT_EQ(x.G, y.G);
    EXPECT_EQ(x.k, y.k);
    EXPECT_EQ(x.c, y.c);
    EXPECT_EQ(x.use_gravity, y.use_gravity);
    EXPECT_EQ(x.use_mutual_gravitation, y.use_mutual_gravitation);
    EXPECT_EQ(x.use_mutual_charge, y.use_mutual_charge);
    EXPECT_EQ(x.use_relativity, y.use_relativity);
    EXPECT_EQ(x.use_collisions, y.use_collisions);
    EXPECT_EQ(x.selected_object, y.selected_object);
    EXPECT_EQ(x.background_mode, y.background_mode);
    EXPECT_EQ(e.reserved_word1, a.reserved_word1);
    EXPECT_EQ(e.reserved_word8, a.reserved_word8);
    EXPECT_EQ(e.reserved_block, a.reserved_block);
    EXPECT_EQ(e.has_toolbar, a.has_toolbar);
    EXPECT_SAME_BYTES(e.toolbar, a.toolbar, sizeof(Toolbar), "toolbar", "");
    const GraphWindow& gw = e.graph_window;
    const GraphWindow& gv = a.graph_window;
    EXPECT_TRUE(gw.r0 == gv.r0 && gw.r1 == gv.r1 && gw.f0 == gv.f0 && gw.r2 == gv.r2 && gw.r3 == gv.r3 &&
                gw.f1 == gv.f1 && gw.r4 == gv.r4 && gw.r5 == gv.r5);
    EXPECT_EQ(e.graph_title, a.graph_title);

    for (int i = 0; i < MAX_OBJECTS; ++i) {
        EXPECT_SAME_BYTES(e.objects[i], a.objects[i], sizeof(MovingObject), "object", i);
        EXPECT_EQ(e.object_texts[i].name, a.object_texts[i].name) << i;
        EXPECT_EQ(e.object_texts[i].second, a.object_texts[i].second) << i;
        EXPECT_EQ(e.object_pictures[i], a.object_pictures[i]) << "picture " << i;
        if (!e.object_picture_bytes[i].empty())
            EXPECT_EQ(e.object_picture_bytes[i], a.object_picture_bytes[i]) << "bitmap bytes " << i;
        else
            EXPECT_EQ(a.object_picture_bytes[i].empty(), true) << "bitmap bytes " << i;
    }
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        for (int i = 0; i < MAX_ELEMENTS; ++i) {
            double u[11], v[11];
            get_element(e, t, i, u);
            get_element(a, t, i, v);
            EXPECT_EQ(std::memcmp(u, v, sizeof(double) * element_reals(t)), 0) << ELEMENT_CODES[t] << " " << i;
            EXPECT_EQ(element_name(e, t, i), element_name(a, t, i)) << ELEMENT_CODES[t] << " " << i;
        }
        EXPECT_EQ(element_reserved(const_cast<Model&>(e), t), element_reserved(const_cast<Model&>(a), t));
    }
    for (int i = 0; i < 100; ++i) {
        EXPECT_SAME_BYTES(e.measurements[i], a.measurements[i], sizeof(Measurement), "measurement", i);
        EXPECT_EQ(e.measurement_texts[i], a.measurement_texts[i]) << i;
        EXPECT_SAME_BYTES(e.text_blocks[i], a.text_blocks[i], sizeof(TextBlock), "text block", i);
        EXPECT_EQ(e.text_block_font[i], a.text_block_font[i]) << i;
        EXPECT_EQ(e.text_block_lines[i], a.text_block_lines[i]) << i;
        EXPECT_SAME_BYTES(e.points[i], a.points[i], POINT_STORED, "point", i);
        EXPECT_EQ(e.point_texts[i], a.point_texts[i]) << i;
        EXPECT_SAME_BYTES(e.annotations[i], a.annotations[i], sizeof(Annotation), "annotation", i);
        EXPECT_EQ(e.annotation_text[i], a.annotation_text[i]) << i;
        EXPECT_EQ(e.annotation_font[i], a.annotation_font[i]) << i;
    }
    for (int i = 0; i < MAX_GRAPHS; ++i) {
        EXPECT_SAME_BYTES(e.graphs[i], a.graphs[i], sizeof(FunctionGraph), "graph", i);
        EXPECT_EQ(e.graph_texts1[i], a.graph_texts1[i]) << i;
        EXPECT_EQ(e.graph_texts2[i], a.graph_texts2[i]) << i;
    }
    EXPECT_EQ(e.variable_count, a.variable_count);
    for (int i = 0; i < MAX_VARIABLES; ++i) {
        EXPECT_SAME_BYTES(e.variables[i], a.variables[i], sizeof(Variable), "variable", i);
        EXPECT_EQ(e.variable_texts[i], a.variable_texts[i]) << i;
    }
    EXPECT_EQ(e.program_count, a.program_count);
    for (int i = 0; i < MAX_PROGRAMS; ++i) {
        EXPECT_SAME_BYTES(e.programs[i], a.programs[i], sizeof(EventProgram), "program", i);
        EXPECT_TRUE(e.program_lines[i] == a.program_lines[i]) << "program lines " << i;
    }
    EXPECT_EQ(e.background_picture, a.background_picture);
    EXPECT_EQ(e.background_jpeg, a.background_jpeg);
}

std::string fingerprint(const Model& m) {
    std::string f = write_container(m);
    f += "|" + m.experiment_path + "|" + std::to_string(m.digits) + "|" + std::to_string(m.has_toolbar);
    for (const QImage& p : m.object_pictures) f += std::to_string(p.cacheKey()) + ",";
    f += std::to_string(m.background_picture.cacheKey());
    return f;
}

std::string packed(const Model& m) {
    return pack_player(
        "\x7f"
        "ELF stand-in for the player",
        m);
}

LoadResult read_text(Model& m, const std::string& text, TextFormat f) {
    LoadScratch scratch;
    return read_text_form(m, text, f, "", scratch);
}

void expect_refused(std::span<const Refusal> cases) {
    auto m = small_model();
    const std::string before = fingerprint(*m);
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        const LoadResult r = read_text(*m, c.text, c.format);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message.substr(0, 300);
        EXPECT_LT(r.message.size(), 300u) << r.message.substr(0, 300);
        EXPECT_EQ(fingerprint(*m), before);
    }
}

}  // namespace quorrel::testing_io
