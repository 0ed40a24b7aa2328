// Live reload: watches the experiment's file and reloads it into the player
// whenever it changes on disk (reload_experiment: a file with an error leaves
// the last good scene and shows the error in the status line). Reading the
// file never blocks: a FIFO or a device put in its place is an error too.
#pragma once

#include <QFileSystemWatcher>
#include <QTimer>
#include <functional>
#include <string>

namespace quorrel {

struct Document;

class ExperimentWatcher {
public:
    // Reads the file again into the player (reload_experiment); its outcome.
    using Reload = std::function<bool(const std::string& path)>;
    // `reload` is asked while `d` holds a loaded experiment; `reloaded` is
    // called after every reload attempt, with its outcome, so the window can
    // show the new scene or the error.
    ExperimentWatcher(const Document& d, std::string path, Reload reload, std::function<void(bool)> reloaded);
    ExperimentWatcher(const ExperimentWatcher&) = delete;
    ExperimentWatcher& operator=(const ExperimentWatcher&) = delete;

    // Time given to a writer to finish before the file is read.
    static constexpr int SETTLE_MS = 100;

private:
    void changed();
    void settled();
    std::size_t limit() const;  // the most the file may hold, by its kind

    const Document& d_;
    std::string path_;
    Reload reload_;
    std::function<void(bool)> reloaded_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    std::string last_bytes_;  // the file as last read, so a touch without a change is no reload
    bool failed_ = false;     // the last reload failed: the same bytes again are tried again
};

}  // namespace quorrel
