// A fixture for the tests that load files into the player: a player on the
// design-size scene with message boxes answered quietly, and a temporary
// folder for the files the test writes.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "player/headless_platform.h"
#include "player/player.h"
#include "support/qt_app.h"

namespace quorrel::test {

class FilePlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensure_gui_app(); }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        platform.quiet = true;
        p.platform = &platform;
        resize_scene(p, 700, 420, 702, 455);
    }

    std::string path(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }
    // Writes `bytes` to the folder's file `name`; its path.
    std::string write(const char* name, const std::string& bytes) const {
        QFile f(QString::fromStdString(path(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path(name);
    }

    QTemporaryDir dir;
    HeadlessPlatform platform;
    PlayerState p;
};

}  // namespace quorrel::test
