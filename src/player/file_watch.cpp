#include "player/file_watch.h"

#include <QFileInfo>

#include "model/io.h"
#include "player/player.h"

namespace quorrel {

ExperimentWatcher::ExperimentWatcher(PlayerState& p, std::string path, std::function<void(bool)> reloaded)
    : p_(p), path_(std::move(path)), reloaded_(std::move(reloaded)) {
    const QString file = QString::fromLocal8Bit(path_);
    // Editors often save by writing a new file and renaming it over the old
    // one, which ends a watch on the file: the folder is watched too.
    watcher_.addPath(QFileInfo(file).absolutePath());
    watcher_.addPath(file);
    read_whole_file(path_, last_bytes_);
    settle_.setSingleShot(true);
    settle_.setInterval(SETTLE_MS);
    QObject::connect(&settle_, &QTimer::timeout, [this] { settled(); });
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, [this](const QString&) { changed(); });
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, [this](const QString&) { changed(); });
}

void ExperimentWatcher::changed() {
    settle_.start();  // a burst of writes gives one reload
}

void ExperimentWatcher::settled() {
    const QString file = QString::fromLocal8Bit(path_);
    if (QFileInfo::exists(file) && !watcher_.files().contains(file)) watcher_.addPath(file);
    std::string bytes;
    // A file that is gone or unchanged (another file of the folder changed) is no reload.
    if (!read_whole_file(path_, bytes) || bytes == last_bytes_ || !p_.model_loaded) return;
    last_bytes_ = std::move(bytes);
    const bool ok = reload_experiment(p_, path_);
    if (reloaded_) reloaded_(ok);
}

}  // namespace quorrel
