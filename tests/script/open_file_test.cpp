#include "script/open_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "fakes.h"
#include "format/io.h"
#include "script/interpreter.h"

namespace quorrel {
namespace {

using testing::FakeHost;
using testing::FakePlatform;
using testing::set_program;
using testing::set_var;
using testing::var;

// A small experiment with one body named `name` and a variable marking it.
std::unique_ptr<Model> experiment(const char* name, const char* marker) {
    auto m = make_model();
    MovingObject& o = m->objects[0];
    o.kind = KIND_BODY;
    o.rest_mass = o.mass = 1;
    o.radius = 2;
    o.ball_r = 200;
    m->object_texts[0].name = name;
    set_var(*m, "marker", marker);
    return m;
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class OpenFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path().toStdString() + "/";
        QDir(dir.path()).mkdir("sub");
        write_file(folder + "other.exp", write_experiment(*experiment("other", "2")));
        write_file(folder + "sub/third.EXP", write_experiment(*experiment("third", "3")));
        m = experiment("first", "1");
        m->experiment_path = folder + "first.exp";
        host.model = m.get();
        s = make_script(&platform, &host);
    }
    int run(const std::vector<std::string>& lines) {
        set_program(*m, 0, lines);
        return run_program(*s, *m, 0);
    }

    QTemporaryDir dir;
    std::string folder;
    FakePlatform platform;
    FakeHost host;
    std::unique_ptr<Model> m;
    std::unique_ptr<Script> s;
};

TEST_F(OpenFile, OpenReplacesTheExperiment) {
    m->running = true;
    EXPECT_EQ(run({"打开(other.exp)"}), 1);
    EXPECT_EQ(m->object_texts[0].name, "other");
    EXPECT_EQ(var(*m, "marker"), "2");
    EXPECT_EQ(m->experiment_path, folder + "other.exp");
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.prepares, 1);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(m->object_pictures[0].isNull());
    EXPECT_EQ(m->objects[0].transparent, 1);
    // The next name is resolved against the folder of the file just opened;
    // "\" separates folders too and the extension is matched in any case.
    set_program(*m, 0, {"打开(sub\\third.EXP)"});
    EXPECT_EQ(run_program(*s, *m, 0), 1);
    EXPECT_EQ(m->object_texts[0].name, "third");
    EXPECT_EQ(m->experiment_path, folder + "sub/third.EXP");
}

TEST_F(OpenFile, TheProgramGoesOnWithTheNewExperiment) {
    // After 打开 the program continues at its next line in the new model,
    // whose program 0 is empty: nothing more runs.
    set_var(*m, "after", "0");
    EXPECT_EQ(run({"打开(other.exp)", "after=1"}), 1);
    EXPECT_EQ(var(*m, "after"), "<missing>");
}

// A missing file, a FIFO (which would wait for a writer) and a device (which
// never ends) are all refused at once; what is no regular file is named so.
TEST_F(OpenFile, AMissingFileKeepsTheExperiment) {
    ASSERT_EQ(mkfifo((folder + "pipe.exp").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (folder + "zero.exp").c_str()), 0);
    int opened = 0;
    for (const char* name : {"missing.exp", "pipe.exp", "zero.exp"}) {
        SCOPED_TRACE(name);
        ++opened;
        platform.messages.clear();
        platform.captions.clear();
        m->experiment_path = folder + "first.exp";
        EXPECT_EQ(run({std::string("打开(") + name + ")"}), 1);
        EXPECT_EQ(m->object_texts[0].name, "first");
        EXPECT_EQ(var(*m, "marker"), "1");
        ASSERT_EQ(platform.messages.size(), 1u);
        if (std::string_view(name) == "missing.exp")
            EXPECT_EQ(platform.messages[0], "不能打开这个文件,请检查这个文件是否存在.");
        else
            EXPECT_NE(platform.messages[0].find("不是普通文件"), std::string::npos) << platform.messages[0];
        EXPECT_EQ(platform.captions[0], "warning");
        EXPECT_EQ(m->experiment_path, folder + name);  // the path stays set to the failed name
        EXPECT_EQ(host.stops, opened);
        EXPECT_EQ(host.prepares, opened);
    }
}

TEST_F(OpenFile, ADamagedFileKeepsTheExperiment) {
    write_file(folder + "bad.exp", "kovra.y3.5\x01\x02");
    EXPECT_EQ(run({"打开(bad.exp)"}), 1);
    EXPECT_EQ(m->object_texts[0].name, "first");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_FALSE(platform.messages[0].empty());
}

TEST_F(OpenFile, PathRules) {
    EXPECT_EQ(experiment_folder("/a/b/c.exp"), "/a/b/");
    EXPECT_EQ(experiment_folder("C:\\exp\\c.exp"), "C:\\exp\\");
    EXPECT_EQ(experiment_folder("c.exp"), "");
    EXPECT_TRUE(names_experiment("a.ExP"));
    EXPECT_TRUE(names_experiment("exp"));
    EXPECT_FALSE(names_experiment("a.ex"));
    EXPECT_FALSE(names_experiment("ex"));
    // 乗 is 0x81 0x5C in GBK: its second byte is "\" but it stays whole.
    Text name = utf8_to_gbk("数据\\乗.txt");
    ASSERT_EQ(name.substr(5, 2), "\x81\\");
    EXPECT_EQ(resolve_program_path(*m, name), folder + "数据/乗.txt");
}

}  // namespace
}  // namespace quorrel
