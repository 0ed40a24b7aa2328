// Writing through a temporary file: a write that fails (full disk, read-only
// disk or file, size limit, missing folder) keeps the old file whole and
// leaves no temporary file behind. Each failure is made real in a child
// process: a small tmpfs in a private mount namespace, or a file size limit.
#include "format/safe_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "format/io.h"

namespace quorrel {
namespace {

const std::string OLD = "the old experiment";

struct Outcome {
    bool failed = false;     // the write reported a failure
    bool old_kept = false;   // the target still holds the old bytes
    bool no_litter = false;  // no temporary file is left beside the target
    std::string message;
};

Outcome attempt(const std::string& folder, const std::string& bytes) {
    const std::string target = folder + "/a.exp";
    Outcome o;
    const WriteResult r = write_file_safely(target, bytes);
    o.failed = !r.ok;
    o.message = r.message;
    std::string now;
    o.old_kept = read_whole_file(target, now) && now == OLD;
    o.no_litter = QDir(QString::fromStdString(folder)).entryList({"a.exp.*"}, QDir::Files | QDir::Hidden).isEmpty();
    return o;
}

// Runs `setup` then the write in a child; the child's exit code holds the outcome.
Outcome in_child(const std::function<bool()>& setup, const std::string& folder, const std::string& bytes,
                 bool& set_up) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!setup()) _exit(100);
        const Outcome o = attempt(folder, bytes);
        _exit((o.failed ? 1 : 0) | (o.old_kept ? 2 : 0) | (o.no_litter ? 4 : 0) |
              (o.message.find("原来的文件保持不变") != std::string::npos || o.message.find("只读") != std::string::npos
                   ? 8
                   : 0));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 100;
    set_up = code != 100;
    Outcome o;
    o.failed = code & 1;
    o.old_kept = code & 2;
    o.no_litter = code & 4;
    o.message = (code & 8) ? "says the old file is kept" : "";
    return o;
}

bool write_old(const std::string& folder) {
    return write_file_safely(folder + "/a.exp", OLD).ok;
}

// A 64 KiB tmpfs on `folder` in a mount namespace of its own, holding the old
// file; `read_only` remounts it read-only, else a filler takes what is left.
bool small_disk(const std::string& folder, bool read_only) {
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0 || !write_old(folder)) return false;
    if (read_only) return mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    const std::string block(4096, 'x');
    for (int i = 0; i < 64; ++i) write_file_safely(folder + "/filler" + std::to_string(i), block);
    return true;
}

class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    std::string folder() const { return dir.path().toStdString(); }
    QTemporaryDir dir;
};

TEST_F(SafeWrite, ReplacesTheFileAndKeepsItsPermissions) {
    ASSERT_TRUE(write_old(folder()));
    const std::string target = folder() + "/a.exp";
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(write_file_safely(target, "new").ok);
    std::string now;
    ASSERT_TRUE(read_whole_file(target, now));
    EXPECT_EQ(now, "new");
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(SafeWrite, AFailedWriteKeepsTheOldFile) {
    const std::string big(256 * 1024, 'n');
    bool set_up = false;
    // A file size limit stops the write half-way, for root as for anyone.
    const Outcome limit = in_child(
        [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{8192, 8192};
            return write_old(folder()) && setrlimit(RLIMIT_FSIZE, &small) == 0;
        },
        folder(), big, set_up);
    ASSERT_TRUE(set_up);
    EXPECT_TRUE(limit.failed && limit.old_kept && limit.no_litter && !limit.message.empty());

    // A folder that is a file, and a folder that does not exist.
    for (const char* bad : {"/a.exp/x.exp", "/missing/x.exp"}) {
        const WriteResult r = write_file_safely(folder() + bad, "x");
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_NE(r.message.find("文件夹不存在"), std::string::npos) << r.message;
    }
    // A read-only file (root may write any file: the disk cases below cover it).
    if (geteuid() != 0) {
        const std::string target = folder() + "/a.exp";
        ASSERT_EQ(chmod(target.c_str(), 0444), 0);
        const WriteResult r = write_file_safely(target, "x");
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find("只读"), std::string::npos) << r.message;
    }
}

TEST_F(SafeWrite, AFullOrReadOnlyDiskKeepsTheOldFile) {
    const std::string big(256 * 1024, 'n');
    for (const bool read_only : {false, true}) {
        SCOPED_TRACE(read_only ? "read-only disk" : "full disk");
        bool set_up = false;
        const Outcome o = in_child([&] { return small_disk(folder(), read_only); }, folder(), big, set_up);
        if (!set_up) GTEST_SKIP() << "cannot mount a small tmpfs here (needs a mount namespace)";
        EXPECT_TRUE(o.failed);
        EXPECT_TRUE(o.old_kept);
        EXPECT_TRUE(o.no_litter);
        EXPECT_FALSE(o.message.empty());
    }
}

// The temporary files the writer names: "<target>.quorrel-saving.<pid>@<host>.XXXXXX".
std::string temporary(const std::string& target, pid_t pid, const std::string& host, const char* suffix = "Ab12Cd") {
    return target + ".quorrel-saving." + std::to_string(pid) + "@" + host + "." + suffix;
}

std::string this_host() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

// A pid no process holds any longer.
pid_t gone_pid() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

// Killed half-way (by the file size limit's signal), a write leaves its
// temporary file; the next write to the folder removes it.
TEST_F(SafeWrite, AKilledWriteLeavesATemporaryTheNextWriteRemoves) {
    ASSERT_TRUE(write_old(folder()));
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit no_core{0, 0}, small{8192, 8192};
        setrlimit(RLIMIT_CORE, &no_core);
        setrlimit(RLIMIT_FSIZE, &small);
        std::signal(SIGXFSZ, SIG_DFL);
        write_file_safely(folder() + "/a.exp", std::string(256 * 1024, 'n'));
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    const QDir d(dir.path());
    EXPECT_EQ(d.entryList({"a.exp.*"}, QDir::Files | QDir::Hidden).size(), 1);

    ASSERT_TRUE(write_file_safely(folder() + "/b.exp", "b").ok);
    EXPECT_EQ(d.entryList(QDir::Files | QDir::Hidden), QStringList({"a.exp", "b.exp"}));
    std::string now;
    EXPECT_TRUE(read_whole_file(folder() + "/a.exp", now) && now == OLD);
}

// Only what a write on this machine left when it died is removed.
TEST_F(SafeWrite, OnlyStaleTemporariesOfThisMachineAreRemoved) {
    const std::string a = folder() + "/a.exp", host = this_host();
    const pid_t gone = gone_pid();
    struct Case {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {temporary(a, gone, host), true},
        {temporary(folder() + "/other.toml", gone, host), true},
        {temporary(a, getpid(), host), false},  // its writer still runs
        {temporary(a, gone, "elsewhere"), false},
        {temporary(a, gone, host, "Ab12C"), false},
        {a + ".Ab12Cd", false},
        {folder() + "/notes.quorrel-saving.txt", false},
    };
    for (const Case& c : cases) {
        const int fd = open(c.name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0) << c.name;
        close(fd);
    }
    const std::string folder_named = temporary(a, gone, host, "Folder");
    ASSERT_EQ(mkdir(folder_named.c_str(), 0700), 0);

    ASSERT_TRUE(write_file_safely(a, "new").ok);
    for (const Case& c : cases) EXPECT_EQ(access(c.name.c_str(), F_OK) != 0, c.removed) << c.name;
    EXPECT_EQ(access(folder_named.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace quorrel
