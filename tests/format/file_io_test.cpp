// Reading from disk: only regular files are read, a FIFO or a device is
// refused at once instead of blocking or reading for ever, no read goes past
// its size limit, and a picture named by a text form lies beside the text.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "format/io.h"
#include "format/read_common.h"
#include "format/safe_write.h"
#include "format/text_form.h"
#include "io_fixtures.h"

namespace quorrel {
namespace {

using namespace testing_io;

// Each read below is refused or done at once; a blocked read would hang here.
constexpr qint64 AT_ONCE_MS = 2000;

class FileReads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("texts"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("pictures"));
    }
    std::string path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        EXPECT_TRUE(write_file_safely(path(name), bytes).ok);
        return path(name);
    }
    std::string fifo(const std::string& name) const {
        EXPECT_EQ(::mkfifo(path(name).c_str(), 0600), 0);
        return path(name);
    }
    std::string link(const std::string& name, const std::string& to) const {
        EXPECT_EQ(::symlink(to.c_str(), path(name).c_str()), 0);
        return path(name);
    }
    // A file of `size` bytes that takes no room on the disk.
    std::string sparse(const std::string& name, off_t size) const {
        const int fd = ::open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        return path(name);
    }

    QTemporaryDir dir;
};

TEST_F(FileReads, OnlyRegularFilesWithinTheLimitAreRead) {
    const std::string ten = write("ten", "0123456789");
    struct Case {
        const char* what;
        std::string path;
        std::size_t limit;
        FileStatus status;
    };
    const Case cases[] = {
        {"a regular file", ten, 10, FileStatus::Ok},
        {"a symlink to one", link("ten.toml", ten), 10, FileStatus::Ok},
        {"one byte over the limit", ten, 9, FileStatus::TooLarge},
        {"a missing file", path("absent"), 10, FileStatus::CannotOpen},
        {"a folder", dir.path().toStdString(), 10, FileStatus::NotRegular},
        {"a FIFO without a writer", fifo("pipe.exp"), 10, FileStatus::NotRegular},
        {"a device", "/dev/zero", 10, FileStatus::NotRegular},
        {"a symlink to a device", link("zero.exp", "/dev/zero"), 10, FileStatus::NotRegular},
        // Its size says 0 but it reads on: the read stops at the limit.
        {"a file longer than its size", "/proc/self/status", 16, FileStatus::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QElapsedTimer clock;
        clock.start();
        std::string out = "untouched";
        EXPECT_EQ(read_regular_file(c.path, c.limit, out), c.status);
        EXPECT_LT(clock.elapsed(), AT_ONCE_MS);
        EXPECT_EQ(out, c.status == FileStatus::Ok ? "0123456789" : "untouched");
    }
}

TEST_F(FileReads, ReadersRefuseWhatIsNoFileOrTooLargeAndKeepTheModel) {
    using Reader = LoadResult (*)(Model&, const std::string&);
    const Reader any = read_any_file, container = read_container_file;
    struct Case {
        std::string path;
        Reader read;
        std::string message;
    };
    // (quorrel-tool's tests go through FIFOs and devices named as text forms.)
    const Case cases[] = {
        {fifo("pipe.exp"), any, "不是普通文件"},
        {"/dev/zero", container, "不是普通文件"},
        {sparse("huge.exp", (256 << 20) + 1), any, "太大,超过了 256 MB"},
        {sparse("huge.player", (256 << 20) + 1), container, "超过了 256 MB"},
        {sparse("huge.json", (32 << 20) + 1), any, "超过了 32 MB"},
    };
    auto m = small_model();
    const std::string before = fingerprint(*m);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        QElapsedTimer clock;
        clock.start();
        const LoadResult r = c.read(*m, c.path);
        EXPECT_LT(clock.elapsed(), AT_ONCE_MS);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message;
        EXPECT_EQ(fingerprint(*m), before);
    }
    // The limit itself is allowed: the reader gets to judge the bytes.
    const LoadResult at_limit = read_any_file(*m, sparse("full.json", 32 << 20));
    EXPECT_EQ(at_limit.message.find("MB"), std::string::npos) << at_limit.message;
}

// A text's picture files are named relative to the text's folder, and may
// reach a neighbouring folder; an absolute name or what is no picture file is
// refused with the line and the field.
TEST_F(FileReads, PictureFilesLieBesideTheText) {
    write("texts/near.bmp", tiny_bmp(qRgb(1, 2, 3)));
    write("pictures/side.bmp", tiny_bmp(qRgb(4, 5, 6)));
    link("texts/zero.bmp", "/dev/zero");
    fifo("texts/pipe.bmp");
    struct Case {
        std::string file;
        const char* error;  // nullptr: read
    };
    const Case cases[] = {
        {"near.bmp", nullptr},
        {"../pictures/side.bmp", nullptr},
        {path("pictures/side.bmp"), "第 6 行 pictures[0].file:「/"},
        {"zero.bmp", "第 6 行 pictures[0].file:不能读取文件「zero.bmp」"},
        {"pipe.bmp", "第 6 行 pictures[0].file:不能读取文件「pipe.bmp」"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string text =
            write("texts/ball.toml",
                  "[[objects]]\nkind = 1\nrest_mass = 1\n[[pictures]]\nslot = 0\nfile = \"" + c.file + "\"\n");
        auto m = make_model();
        LoadScratch scratch;
        QElapsedTimer clock;
        clock.start();
        const LoadResult r = read_text_form_file(*m, text, scratch);
        EXPECT_LT(clock.elapsed(), AT_ONCE_MS);
        EXPECT_EQ(r.ok, c.error == nullptr) << r.message;
        if (c.error) {
            EXPECT_NE(r.message.find(c.error), std::string::npos) << r.message;
        } else {
            EXPECT_EQ(m->object_pictures[0].size(), QSize(3, 2));
        }
    }
}

}  // namespace
}  // namespace quorrel
