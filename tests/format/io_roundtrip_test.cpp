// Writer -> reader round trips of both formats, and the places where the
// container and the experiment file differ.
#include <gtest/gtest.h>

#include <cstring>

#include "format/io.h"
#include "format/pictures.h"
#include "io_fixtures.h"

namespace quorrel {
namespace {

using namespace testing_io;

std::int32_t word_at(const std::string& b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
double real_at(const std::string& b, std::size_t at) {
    double v;
    std::memcpy(&v, b.data() + at, 8);
    return v;
}

TEST(RoundTrip, ContainerWithEveryTableFull) {
    auto source = full_model();
    auto loaded = make_model();
    const LoadResult r = read_container(*loaded, packed(*source));
    ASSERT_TRUE(r.ok) << r.message;
    expect_same_model(*expected_after_read(*source, Format::Container), *loaded);
}

TEST(RoundTrip, ExperimentWithEveryTableFull) {
    auto source = full_model();
    auto loaded = make_model();
    const LoadResult r = read_experiment(*loaded, write_experiment(*source));
    ASSERT_TRUE(r.ok) << r.message;
    expect_same_model(*expected_after_read(*source, Format::Experiment), *loaded);
}

TEST(RoundTrip, ExperimentWithoutGraphsLeavesThemOut) {
    auto source = full_model();
    const std::string with = write_experiment(*source, true);
    const std::string without = write_experiment(*source, false);
    EXPECT_EQ(with[9], '5');
    EXPECT_EQ(without[9], '2');
    EXPECT_EQ(without.substr(0, 9), "kovra.y3.");
    auto loaded = make_model();
    ASSERT_TRUE(read_experiment(*loaded, without).ok);
    expect_same_model(*expected_after_read(*source, Format::ExperimentNoGraphs), *loaded);
    // Any version byte other than '5' means "no graphs".
    std::string other = without;
    other[9] = '7';
    auto loaded2 = make_model();
    ASSERT_TRUE(read_experiment(*loaded2, other).ok);
    EXPECT_EQ(graph_count(*loaded2), 0);
}

TEST(RoundTrip, SmallModelsInBothFormats) {
    auto source = small_model();
    auto a = make_model();
    ASSERT_TRUE(read_container(*a, packed(*source)).ok);
    expect_same_model(*expected_after_read(*source, Format::Container), *a);
    auto b = make_model();
    ASSERT_TRUE(read_experiment(*b, write_experiment(*source)).ok);
    expect_same_model(*expected_after_read(*source, Format::Experiment), *b);
}

// The stored layout, checked against the offsets of the format rather than
// against the reader.
TEST(Layout, EmptyModelsHaveTheDocumentedSizesAndOffsets) {
    auto m = make_model();
    m->variable_count = 0;
    m->program_count = 0;
    m->toolbar.hide_toolbar = 0x0A0B0C0D;
    m->toolbar.show_exit_button = 0x01020304;
    m->settings.steps_per_frame = 77;
    m->settings.c = 123.0;
    m->settings.selected_object = 5;
    m->reserved_word8 = 99;
    const std::string c = write_container(*m);
    ASSERT_EQ(c.size(), 455u);
    EXPECT_EQ(std::string(c.data(), 10), std::string("ssmw\0\0"
                                                     "3\0"
                                                     "50",
                                                     10));
    EXPECT_EQ(word_at(c, 10), 0x0A0B0C0D);
    EXPECT_EQ(word_at(c, 38), 0x01020304);
    EXPECT_EQ(word_at(c, 42), 77);
    EXPECT_EQ(real_at(c, 193), 123.0);
    EXPECT_EQ(word_at(c, 214), 5);   // selected_object after the reserved word and five flags
    EXPECT_EQ(word_at(c, 334), 99);  // the word after the points
    EXPECT_EQ(c[454], 0);            // background mode, nothing after it

    const std::string e = write_experiment(*m);
    ASSERT_EQ(e.size(), 423u);
    EXPECT_EQ(word_at(e, 10), 77);
    EXPECT_EQ(real_at(e, 161), 123.0);
    EXPECT_EQ(word_at(e, 174), 5);
    EXPECT_EQ(word_at(e, 294), 99);
    EXPECT_EQ(e.size() - write_experiment(*m, false).size(), 4u);  // the graph count

    const std::string p = pack_player("PLAYER", *m);
    EXPECT_EQ(p.substr(0, 6), "PLAYER");
    EXPECT_EQ(word_at(p, p.size() - 4), 6);
}

TEST(Container, RestMassZeroEndsTheObjectTextsAndPictures) {
    auto source = small_model();
    source->objects[1].rest_mass = 0.0;  // kind stays non-zero
    auto loaded = make_model();
    ASSERT_TRUE(read_container(*loaded, packed(*source)).ok);
    EXPECT_EQ(object_count(*loaded), 2);
    EXPECT_EQ(loaded->object_texts[0].name, source->object_texts[0].name);
    EXPECT_TRUE(loaded->object_texts[1].name.empty());
    EXPECT_FALSE(loaded->object_pictures[0].isNull());
    EXPECT_TRUE(loaded->object_pictures[1].isNull());
    expect_same_model(*expected_after_read(*source, Format::Container), *loaded);
}

TEST(Container, BlocksAndInclinesBecomeTransparentOnWhite) {
    auto source = small_model();
    source->objects[0].kind = KIND_BLOCK;
    source->objects[1].kind = KIND_PLANK;
    source->objects[0].transparent = 0;
    source->objects[1].transparent = 0;
    source->objects[1].transparent_colour = 0x123456;
    auto loaded = make_model();
    ASSERT_TRUE(read_container(*loaded, packed(*source)).ok);
    EXPECT_EQ(loaded->objects[0].transparent, 1);
    EXPECT_EQ(loaded->objects[0].transparent_colour, 0xFFFFFF);
    EXPECT_EQ(loaded->objects[1].transparent, 0);
    EXPECT_EQ(loaded->objects[1].transparent_colour, 0x123456);
}

TEST(Container, ToolbarWordsAreKeptOnlyFromAContainer) {
    auto source = small_model();
    auto a = make_model();
    ASSERT_TRUE(read_container(*a, packed(*source)).ok);
    EXPECT_TRUE(a->has_toolbar);
    EXPECT_EQ(a->toolbar.hide_toolbar, 2);
    EXPECT_EQ(a->toolbar.reserved26, 6);
    EXPECT_EQ(a->toolbar.show_exit_button, 9);
    // An experiment file read afterwards drops them.
    ASSERT_TRUE(read_experiment(*a, write_experiment(*source)).ok);
    EXPECT_FALSE(a->has_toolbar);
    EXPECT_EQ(a->toolbar.show_run_buttons, 1);
}

TEST(Container, HeaderBytesFourFiveAndSevenAreNotExamined) {
    auto source = small_model();
    std::string bytes = packed(*source);
    const std::size_t at = bytes.size() - 4 - write_container(*source).size();
    for (int k = 0; k < 10; ++k) {
        std::string flipped = bytes;
        flipped[at + k] = static_cast<char>(flipped[at + k] ^ 0x5A);
        auto m = make_model();
        const LoadResult r = read_container(*m, flipped);
        const bool examined = k <= 3 || k == 6 || k == 8 || k == 9;
        EXPECT_EQ(r.ok, !examined) << "header byte " << k;
        if (examined) {
            EXPECT_EQ(r.message, "这是一个无效的实验文件,或版本不同。");
            EXPECT_EQ(r.caption, "提示");
            EXPECT_FALSE(r.ok_cancel);
        }
    }
}

TEST(Container, BackgroundModes) {
    auto source = small_model();
    // Mode 0: nothing follows the mode byte, no picture.
    source->settings.background_mode = 0;
    auto m = make_model();
    ASSERT_TRUE(read_container(*m, packed(*source)).ok);
    EXPECT_TRUE(m->background_picture.isNull());
    EXPECT_TRUE(m->background_jpeg.empty());
    // Modes 2 and 3 with the picture bytes (as the writer stores them).
    for (std::uint8_t mode : {2, 3}) {
        source->settings.background_mode = mode;
        ASSERT_TRUE(read_container(*m, packed(*source)).ok);
        EXPECT_EQ(m->settings.background_mode, mode);
        EXPECT_EQ(m->background_jpeg, source->background_jpeg);
        EXPECT_FALSE(m->background_picture.isNull());
    }
    // Mode 2 with nothing, or with bytes that cannot be a size and picture, after it.
    auto bare = small_model();
    bare->settings.background_mode = 2;
    bare->background_jpeg.clear();
    bare->background_picture = QImage();
    std::string c = write_container(*bare);
    EXPECT_EQ(c.back(), 2);
    for (const std::string& tail : {std::string(), std::string("\x01\x02", 2), std::string("\x10\0\0\0ab", 6)}) {
        std::string file = "PL" + c + tail;
        file += std::string("\x02\0\0\0", 4);
        ASSERT_TRUE(read_container(*m, file).ok) << tail.size();
        EXPECT_EQ(m->settings.background_mode, 2);
        EXPECT_TRUE(m->background_picture.isNull());
    }
}

TEST(Experiment, OwnPictureRuleAndGeneratedBalls) {
    auto source = small_model();
    source->objects[0].own_picture = 1;
    source->objects[0].transparent = 0;
    source->objects[0].transparent_colour = 0x00FF00;
    source->objects[1].own_picture = 0;
    source->objects[1].ball_r = 200;
    source->objects[1].radius = 10;
    source->settings.scale = 1;
    const std::string file = write_experiment(*source);
    // Only object 0 carries bitmap bytes.
    EXPECT_NE(file.find(source->object_picture_bytes[0]), std::string::npos);
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, file).ok);
    EXPECT_EQ(m->object_picture_bytes[0], source->object_picture_bytes[0]);
    EXPECT_EQ(m->objects[0].transparent, 0);
    EXPECT_EQ(m->objects[0].transparent_colour, 0x00FF00);
    EXPECT_TRUE(m->object_picture_bytes[1].empty());
    EXPECT_EQ(m->objects[1].transparent, 1);
    EXPECT_EQ(m->objects[1].transparent_colour, 0);
    EXPECT_EQ(m->object_pictures[1].size(), QSize(22, 22));
    EXPECT_EQ(m->object_pictures[1], make_ball_picture(*m, 1));
}

TEST(Experiment, ObjectTextsFollowTheKindAndBallsStopAtRestMassZero) {
    auto source = small_model();
    source->objects[0].rest_mass = 0.0;
    source->objects[0].own_picture = 0;
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
    EXPECT_EQ(m->object_texts[1].name, source->object_texts[1].name);
    // The walk for generated pictures ends at the first object without mass.
    EXPECT_TRUE(m->object_pictures[0].isNull());
    EXPECT_TRUE(m->object_pictures[1].isNull());
}

TEST(Experiment, EveryNonZeroModeCarriesTheBackground) {
    auto source = small_model();
    for (std::uint8_t mode : {1, 2, 3, 200}) {
        source->settings.background_mode = mode;
        auto m = make_model();
        ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
        EXPECT_EQ(m->settings.background_mode, mode);
        EXPECT_EQ(m->background_jpeg, source->background_jpeg);
    }
    // A mode without any picture is stored as 0 so that the file stays readable.
    source->background_jpeg.clear();
    source->background_picture = QImage();
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
    EXPECT_EQ(m->settings.background_mode, 0);
    // A decoded picture without stored bytes is encoded afresh.
    source->background_picture = QImage(5, 4, QImage::Format_RGB32);
    source->background_picture.fill(Qt::white);
    ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
    EXPECT_EQ(m->settings.background_mode, 200);
    EXPECT_EQ(m->background_picture.size(), QSize(5, 4));
}

TEST(Experiment, OnlyTheVersionByteOfTheHeaderIsExamined) {
    auto source = small_model();
    std::string file = write_experiment(*source);
    for (int k = 0; k < 9; ++k) file[k] = 'Z';
    auto m = make_model();
    EXPECT_TRUE(read_experiment(*m, file).ok);
    EXPECT_EQ(graph_count(*m), 1);
}

TEST(Reader, KeepsDigitsPathAndTheSettingsAResetKeeps) {
    auto source = small_model();
    source->settings.show_grid = 1;
    auto m = make_model();
    m->digits = 9;
    m->experiment_path = "/some/where.sys";
    ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
    EXPECT_EQ(m->digits, 9);
    EXPECT_EQ(m->experiment_path, "/some/where.sys");
    EXPECT_EQ(m->settings.show_grid, 1);  // stored value replaces the kept one
}

TEST(Writer, OverlongTextsAreCutAtACharacterBoundary) {
    auto source = small_model();
    std::string longname = "a";
    while (longname.size() < 2100) longname += "\xb2\xe2";
    source->object_texts[0].name = longname;
    source->object_texts[0].second = std::string("ab\0cd", 5);
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
    EXPECT_EQ(m->object_texts[0].name, longname.substr(0, 1999));  // 'a' + 999 whole characters
    EXPECT_EQ(m->object_texts[0].second, "ab");
}

TEST(Reader, TextEndsAtItsLengthEvenWithoutTheZeroByte) {
    auto source = small_model();
    source->object_texts[0].name = "NAMEONE";
    std::string file = write_experiment(*source);
    file[file.find("NAMEONE") + 7] = 'X';
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, file).ok);
    EXPECT_EQ(m->object_texts[0].name, "NAMEONE");
    EXPECT_EQ(m->object_texts[0].second, source->object_texts[0].second);
}

TEST(Files, DetectKindAndReadAnyFile) {
    EXPECT_EQ(detect_kind("kovra.y3.5rest"), FileKind::Experiment);
    EXPECT_EQ(detect_kind(std::string_view("MZ\x90\0\0\0", 6)), FileKind::Container);
    EXPECT_EQ(detect_kind("ab"), FileKind::Unknown);

    auto source = small_model();
    const std::string dir = ::testing::TempDir();
    const std::string exp = dir + "/quorrel_io_test.sys";
    const std::string exe = dir + "/quorrel_io_test.exe";
    for (const auto& [path, bytes] : {std::pair{exp, write_experiment(*source)}, std::pair{exe, packed(*source)}}) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        std::string back;
        ASSERT_TRUE(read_whole_file(path, back));
        EXPECT_EQ(back, bytes);
    }
    auto m = make_model();
    ASSERT_TRUE(read_any_file(*m, exe).ok);
    EXPECT_TRUE(m->has_toolbar);
    ASSERT_TRUE(read_any_file(*m, exp).ok);
    EXPECT_FALSE(m->has_toolbar);
    ASSERT_TRUE(read_container_file(*m, exe).ok);
    ASSERT_TRUE(read_experiment_file(*m, exp).ok);
    std::remove(exp.c_str());
    std::remove(exe.c_str());
}

}  // namespace
}  // namespace quorrel

namespace quorrel {
namespace {

using namespace testing_io;

// The reader's working space is reused from load to load and a load hands the
// caller's previous tables back to it: nothing of a full experiment may reach
// the small experiments loaded after it, in either format, nor survive a
// damaged file read in between.
TEST(RoundTrip, LoadsAfterAFullExperimentLeaveNoTraceOfIt) {
    auto full = full_model();
    auto small = small_model();
    const auto expected_small = expected_after_read(*small, Format::Experiment);
    auto m = make_model();
    LoadScratch scratch;
    ASSERT_TRUE(read_experiment(*m, write_experiment(*full), scratch).ok);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(read_experiment(*m, write_experiment(*small), scratch).ok);
        expect_same_model(*expected_small, *m);
    }
    std::string damaged = write_experiment(*full);
    damaged.resize(damaged.size() / 2);
    EXPECT_FALSE(read_experiment(*m, damaged, scratch).ok);
    expect_same_model(*expected_small, *m);

    ASSERT_TRUE(read_container(*m, packed(*full), scratch).ok);
    ASSERT_TRUE(read_container(*m, packed(*small), scratch).ok);
    expect_same_model(*expected_after_read(*small, Format::Container), *m);
}

}  // namespace
}  // namespace quorrel
