// Conversions between the experiment file, TOML and JSON, as quorrel-tool
// convert does them: every bundled demo and every reader fixture through all
// six directions gives back the same dump, and what the experiment file cannot
// hold is refused rather than dropped.
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <vector>

#include "demos/demos.h"
#include "format/fields.h"
#include "format/io.h"
#include "format/pictures.h"
#include "format/text_form.h"
#include "io_fixtures.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

using namespace testing_io;

enum class Form { Exp, Toml, Json };
constexpr Form FORMS[] = {Form::Exp, Form::Toml, Form::Json};

const char* file_for(Form f) {
    return f == Form::Exp ? "x.exp" : f == Form::Toml ? "x.toml" : "x.json";
}

LoadResult read_form(Model& m, const std::string& bytes, Form f) {
    LoadScratch scratch;
    if (f == Form::Exp) return read_experiment(m, bytes, scratch);
    return read_text_form(m, bytes, text_format_of(file_for(f)), "", scratch);
}

// `m` written in `f` and read back.
std::unique_ptr<Model> through(const Model& m, Form f) {
    auto back = make_model();
    const LoadResult r = read_form(*back, write_for_path(m, file_for(f)), f);
    EXPECT_TRUE(r.ok) << file_for(f) << ": " << r.message;
    return back;
}

// The dump `m` should have after a trip into `f`: an experiment file has no tool bar.
std::string dump_for(const Model& m, Form f) {
    if (f != Form::Exp || !m.has_toolbar) return dump_json(m);
    auto without = std::make_unique<Model>(m);
    without->has_toolbar = false;
    without->toolbar = Toolbar{};
    return dump_json(*without);
}

// "equal", or the first line where two dumps differ.
std::string dump_difference(const std::string& a, const std::string& b) {
    std::size_t i = 0, line = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        if (a[i++] == '\n') line = i;
    if (i == a.size() && i == b.size()) return "equal";
    const auto at = [line](const std::string& s) { return s.substr(line, s.find('\n', line) - line); };
    return at(a) + " vs " + at(b);
}

// Into each form and from there into each other form: every step keeps the dump.
void expect_lossless(const Model& source) {
    ASSERT_EQ(experiment_file_loss(source), "");
    for (Form a : FORMS) {
        const auto first = through(source, a);
        EXPECT_EQ(dump_difference(dump_json(*first), dump_for(source, a)), "equal") << "into " << file_for(a);
        for (Form b : FORMS) {
            if (b == a) continue;
            const auto second = through(*first, b);
            EXPECT_EQ(dump_difference(dump_json(*second), dump_for(*first, b)), "equal")
                << file_for(a) << " into " << file_for(b);
        }
    }
}

TEST(Convert, EveryDemoThroughEveryPairOfForms) {
    for (const DemoInfo& d : all_demos()) {
        SCOPED_TRACE(d.text_name);
        auto m = make_model();
        ASSERT_TRUE(load_demo(*m, d).ok);
        expect_lossless(*m);
    }
}

TEST(Convert, EveryFixtureThroughEveryPairOfForms) {
    for (const NamedModel& c : every_fixture()) {
        SCOPED_TRACE(c.name);
        // As the experiment file reads it, then with a tool bar, which only
        // the text forms keep (the full model takes long enough once).
        auto read = make_model();
        ASSERT_TRUE(read_experiment(*read, write_experiment(*c.model)).ok);
        expect_lossless(*read);
        if (std::string_view(c.name) == "full") continue;
        read->has_toolbar = true;
        read->toolbar = Toolbar{1, 2, 3, 4, 5, 6, 7, 8};
        expect_lossless(*read);
    }
}

// A damaged binary file may hold NaN or an infinity where the text forms want
// a finite number: the first such field is named, so no text is written that
// would not read back; the values the player recomputes may hold anything.
TEST(Convert, ANonFiniteExperimentValueIsNamedBeforeATextIsWritten) {
    struct Case {
        const char* what;
        void (*spoil)(Model&);
        const char* field;
    };
    const Case cases[] = {
        {"finite", [](Model&) {}, ""},
        {"start position", [](Model& m) { m.objects[0].x0 = std::nan(""); }, "objects[0].x0"},
        {"setting", [](Model& m) { m.settings.g = -INFINITY; }, "settings.g"},
        {"recomputed velocity", [](Model& m) { m.objects[0].vx = std::nan(""); }, ""},
    };
    for (const Case& c : cases) {
        auto m = make_model();
        ASSERT_TRUE(read_form(*m, "[[objects]]\nkind = 1\nrest_mass = 1\n", Form::Toml).ok);
        c.spoil(*m);
        EXPECT_EQ(first_non_finite_value(*m), c.field) << c.what;
    }
}

// A binary reader may leave a picture in a slot past the end of the object
// list (it reads pictures by rest mass): no object owns it, and no form shows it.
TEST(Convert, APicturePastTheObjectListIsNoPartOfTheExperiment) {
    auto m = make_model();
    ASSERT_TRUE(read_form(*m, "[[objects]]\nkind = 1\nrest_mass = 1\n", Form::Toml).ok);
    m->object_pictures[1] = m->object_pictures[0];
    expect_lossless(*m);
}

// An object shown as the generated ball reads as transparent on black whatever
// its text says; the objects after the first without a rest mass get no ball
// and keep what the text gives (their reset value 0 when left out). Every
// form reads it alike.
TEST(Convert, OnlyGeneratedBallsReadAsTransparentOnBlack) {
    struct Case {
        const char* objects;  // TOML entries
        std::vector<int> transparent;
    };
    const Case cases[] = {
        {"[[objects]]\nkind = 1\nrest_mass = 1\ntransparent = 0\ntransparent_colour = 0xFF\n", {1}},
        {"[[objects]]\nkind = 1\nrest_mass = 1\n[[objects]]\nkind = 3\n[[objects]]\nkind = 1\nrest_mass = 1\n"
         "[[objects]]\nkind = 1\nrest_mass = 1\ntransparent = 1\n",
         {1, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.objects);
        auto m = make_model();
        ASSERT_TRUE(read_form(*m, c.objects, Form::Toml).ok);
        for (Form f : FORMS) {
            const auto back = through(*m, f);
            for (std::size_t i = 0; i < c.transparent.size(); ++i) {
                EXPECT_EQ(back->objects[i].transparent, c.transparent[i]) << file_for(f) << " slot " << i;
                EXPECT_EQ(back->objects[i].transparent_colour, 0);
                EXPECT_EQ(back->object_pictures[i].isNull(), i > 0);  // only slot 0 comes before a rest mass 0
            }
        }
    }
}

// What the experiment file has no place for is refused, naming it; the text
// forms keep it.
TEST(Convert, TheExperimentFileRefusesWhatItCannotHold) {
    struct Case {
        const char* what;
        void (*change)(Model&);
        const char* named;
    };
    const Case cases[] = {
        {"an initial value apart from the value",
         [](Model& m) {
             m.variable_count = 2;
             m.variable_texts[1][VT_NAME] = "a";
             m.variable_texts[1][VT_INITIAL] = "3";
         },
         "第 1 个变量「a」的值「0」与初值「3」不同"},
        {"a picture without own_picture",
         [](Model& m) {
             m.object_picture_bytes[0] = tiny_bmp(qRgb(255, 0, 0));
             m.object_pictures[0] = decode_bmp(m.object_picture_bytes[0]);
         },
         "第 0 个运动对象「ball」有图片但 own_picture 不是 1"},
        {"a ball's picture drawn opaque (as a container holds it)",
         [](Model& m) {
             m.object_picture_bytes[0] = encode_bmp(m.object_pictures[0]);
             m.objects[0].transparent = 0;
         },
         "第 0 个运动对象「ball」没有自己的图片,在实验文件中读回时是透明在黑色上的小球"},
        {"own_picture without a picture (past a rest mass 0, which gets no ball)",
         [](Model& m) {
             m.objects[1] = m.objects[0];
             m.objects[0].rest_mass = 0;
             m.object_pictures[0] = QImage();
             m.objects[1].own_picture = 1;
         },
         "第 1 个运动对象「」的 own_picture 为 1 却没有图片"},
        {"a graph window title", [](Model& m) { m.graph_title = "x"; }, "graph_title 为「x」"},
        {"a background with mode 0",
         [](Model& m) {
             m.background_jpeg = tiny_jpeg();
             m.background_picture = decode_jpeg(m.background_jpeg);
         },
         "有背景图片但 background_mode 为 0"},
        {"a background mode without a picture", [](Model& m) { m.settings.background_mode = 3; },
         "background_mode 为 3 但没有背景图片"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto m = make_model();
        ASSERT_TRUE(read_form(*m, "[[objects]]\nkind = 1\nrest_mass = 1\nname = \"ball\"\n", Form::Toml).ok);
        EXPECT_EQ(experiment_file_loss(*m), "");
        c.change(*m);
        EXPECT_NE(experiment_file_loss(*m).find(c.named), std::string::npos) << experiment_file_loss(*m);
        for (Form f : {Form::Toml, Form::Json})
            EXPECT_EQ(dump_difference(dump_json(*through(*m, f)), dump_json(*m)), "equal") << file_for(f);
    }
}

}  // namespace
}  // namespace quorrel
