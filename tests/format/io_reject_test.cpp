// Damaged input: every refusal is clean and leaves the caller's model as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "format/io.h"
#include "format/pictures.h"
#include "io_fixtures.h"

namespace quorrel {
namespace {

using namespace testing_io;

void put_word(std::string& b, std::size_t at, std::int32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

std::string with_trailer(std::string_view player, std::string_view container) {
    std::string out(player);
    out += container;
    const std::int32_t p = static_cast<std::int32_t>(player.size());
    out.append(reinterpret_cast<const char*>(&p), 4);
    return out;
}

// A caller's model that already holds an experiment.
class Rejection : public ::testing::Test {
protected:
    void SetUp() override {
        model = make_model();
        ASSERT_TRUE(read_container(*model, packed(*small_model())).ok);
        model->experiment_path = "/previous/experiment.sys";
        model->digits = 7;
        before = fingerprint(*model);
    }
    // Reads `bytes` in the given format, expects a refusal and an untouched model.
    LoadResult refused(const std::string& bytes, bool container) {
        const LoadResult r = container ? read_container(*model, bytes) : read_experiment(*model, bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(fingerprint(*model), before);
        return r;
    }
    std::unique_ptr<Model> model;
    std::string before;
};

// Offsets of the count words in the files of a model with empty tables and
// no variables or programs (container offsets are relative to its start).
struct CountAt {
    const char* what;
    std::size_t container, experiment;
    int capacity;
};
constexpr CountAt COUNTS[] = {
    {"objects", 201, 302, 50},      {"Z", 218, 178, 20},
    {"E_GAN", 314, 274, 20},        {"measurements", 322, 282, 100},
    {"text blocks", 326, 286, 100}, {"points", 330, 290, 100},
    {"annotations", 338, 298, 100}, {"variables", 392, 360, 300},
    {"programs", 396, 364, 110},    {"graphs", 450, 418, 10},
};

TEST_F(Rejection, CountsAboveTheirCapacityOrNegative) {
    auto empty = make_model();
    empty->variable_count = 0;
    empty->program_count = 0;
    const std::string c = write_container(*empty);
    const std::string e = write_experiment(*empty);
    for (const CountAt& k : COUNTS) {
        for (std::int32_t bad : {k.capacity + 1, -1, INT32_MAX}) {
            std::string cc = c;
            put_word(cc, k.container, bad);
            const LoadResult r = refused(with_trailer("XY", cc), true);
            EXPECT_NE(r.message.find(std::to_string(bad)), std::string::npos) << k.what << ": " << r.message;
            EXPECT_EQ(r.caption, "提示");
            std::string ee = e;
            put_word(ee, k.experiment, bad);
            refused(ee, false);
        }
        // At capacity the count is accepted (the file is then merely short).
        std::string ee = e;
        put_word(ee, k.experiment, k.capacity);
        const LoadResult r = read_experiment(*model, ee);
        EXPECT_EQ(r.message.find("超出"), std::string::npos) << k.what << ": " << r.message;
    }
}

TEST_F(Rejection, TextLengthLimits) {
    auto source = small_model();
    source->variable_texts[0][VT_NAME] = std::string(MAX_TEXT_BYTES, 'Q');
    const std::string good = write_experiment(*source);
    const std::size_t at = good.find(std::string(MAX_TEXT_BYTES, 'Q')) - 4;
    ASSERT_EQ(good.find(std::string(MAX_TEXT_BYTES, 'Q')), good.rfind(std::string(MAX_TEXT_BYTES, 'Q')));
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, good).ok);  // n + 1 = 2000 is the longest
    for (std::int32_t bad : {2000, -1, INT32_MIN}) {
        std::string b = good;
        put_word(b, at, bad);
        const LoadResult r = refused(b, false);
        EXPECT_NE(r.message.find("文字长度"), std::string::npos) << r.message;
    }
}

TEST_F(Rejection, TextBlockLineCountThatCannotFit) {
    auto source = small_model();
    source->text_block_font[1] = "UNIQUEFONT";
    const std::string good = write_experiment(*source);
    const std::size_t at = good.find("UNIQUEFONT") + 11;  // the line count after the font text
    for (std::int32_t bad : {-1, 100000000}) {
        std::string b = good;
        put_word(b, at, bad);
        refused(b, false);
    }
}

TEST_F(Rejection, ProgramLineCountBeyondTheStoredLines) {
    auto source = small_model();
    source->programs[0].line_count = PROGRAM_LINES;
    auto m = make_model();
    ASSERT_TRUE(read_experiment(*m, write_experiment(*source)).ok);
    // The writer never stores more; patch the file.
    std::string b = write_experiment(*source);
    const std::string marker(reinterpret_cast<const char*>(&source->programs[0]), sizeof(EventProgram));
    const std::size_t at = b.find(marker);
    ASSERT_NE(at, std::string::npos);
    put_word(b, at, PROGRAM_LINES + 1);
    refused(b, false);
}

TEST_F(Rejection, EmptyShortAndMisplacedContainers) {
    LoadResult r = refused("", true);
    EXPECT_EQ(r.message, "这个文件是空的,不是有效的实验文件。");
    refused("ab", true);
    const std::string c = write_container(*small_model());
    std::string b = with_trailer("PLAYER", c);
    for (std::int32_t p :
         {-1, INT32_MIN, static_cast<std::int32_t>(b.size()), static_cast<std::int32_t>(b.size() - 3)}) {
        std::string bad = b;
        put_word(bad, bad.size() - 4, p);
        r = refused(bad, true);
    }
    EXPECT_NE(r.message.find("超出了文件范围"), std::string::npos) << r.message;
    refused(std::string("\0\0\0\0", 4), true);  // a trailer and nothing else
}

// One entry in every list, the smallest pictures: a short file that still
// holds every block, so that every prefix can be tried quickly.
std::unique_ptr<Model> lean_model() {
    auto m = small_model();
    m->program_count = 0;
    m->variable_count = 1;
    m->measurements[1].type = 0;
    m->text_blocks[1].in_use = 0;
    m->points[1].kind = 0;
    m->annotations[1].in_use = 0;
    m->objects[1].radius = 0;  // the smallest generated ball
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(Qt::red);
    m->background_jpeg = encode_jpeg(one);
    return m;
}

TEST_F(Rejection, EveryTruncatedContainer) {
    auto source = lean_model();
    const std::string c = write_container(*source);
    for (std::size_t n = 0; n < c.size(); ++n) {
        const LoadResult r = read_container(*model, with_trailer("P", std::string_view(c).substr(0, n)));
        ASSERT_FALSE(r.ok) << n;
    }
    EXPECT_EQ(fingerprint(*model), before);
}

TEST_F(Rejection, EveryTruncatedExperimentFile) {
    auto source = lean_model();
    const std::string e = write_experiment(*source);
    for (std::size_t n = 0; n < e.size(); ++n) {
        const LoadResult r = read_experiment(*model, std::string_view(e).substr(0, n));
        ASSERT_FALSE(r.ok) << n;
        if (n > 0) {
            ASSERT_EQ(r.caption, "提示") << n;
        }
    }
    EXPECT_EQ(fingerprint(*model), before);
}

TEST_F(Rejection, PicturesThatDoNotDecode) {
    auto source = small_model();
    source->object_picture_bytes[0] = "BM not really a bitmap";
    LoadResult r = refused(write_experiment(*source), false);
    EXPECT_NE(r.message.find("图片无法解码"), std::string::npos) << r.message;
    refused(packed(*source), true);

    source = small_model();
    source->background_jpeg = "\xff\xd8\xff garbage";
    r = refused(write_experiment(*source), false);
    EXPECT_NE(r.message.find("背景图片"), std::string::npos) << r.message;
    refused(packed(*source), true);
    // A JPEG cut short is damage too.
    source->background_jpeg = tiny_jpeg().substr(0, tiny_jpeg().size() / 2);
    refused(write_experiment(*source), false);
}

TEST_F(Rejection, NegativePictureSize) {
    auto source = small_model();
    std::string e = write_experiment(*source);
    const std::size_t at = e.find(source->object_picture_bytes[0]) - 4;
    put_word(e, at, -5);
    refused(e, false);
}

TEST_F(Rejection, FlippedVersionByteMisreadsTheGraphs) {
    std::string e = write_experiment(*small_model());
    e[9] = '2';  // the file holds a graph, the header says it does not
    refused(e, false);
}

TEST(Files, MessagesWhenAFileCannotBeOpened) {
    auto m = make_model();
    const std::string missing = ::testing::TempDir() + "/quorrel_no_such_file.sys";
    LoadResult r = read_experiment_file(*m, missing);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "不能打开这个文件,请检查这个文件是否存在.");
    EXPECT_EQ(r.caption, "warning");
    EXPECT_TRUE(r.ok_cancel);
    r = read_container_file(*m, missing);
    EXPECT_EQ(r.message, "不能打开这个程序文件 ,请检查这个文件是否已损坏。");
    EXPECT_EQ(r.caption, "提示");
    EXPECT_TRUE(r.ok_cancel);
    EXPECT_FALSE(read_any_file(*m, missing).ok);
    std::string out = "untouched";
    EXPECT_FALSE(read_whole_file(::testing::TempDir(), out));  // a folder
    EXPECT_EQ(out, "untouched");
}

}  // namespace
}  // namespace quorrel
