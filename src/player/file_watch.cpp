#include "player/file_watch.h"

#include <QFileInfo>

#include "format/io.h"
#include "format/text_form.h"
#include "player/document.h"

namespace quorrel {

ExperimentWatcher::ExperimentWatcher(const Document& d, std::string path, Reload reload,
                                     std::function<void(bool)> reloaded)
    : d_(d), path_(std::move(path)), reload_(std::move(reload)), reloaded_(std::move(reloaded)) {
    const QString file = QString::fromLocal8Bit(path_);
    // Editors often save by writing a new file and renaming it over the old
    // one, which ends a watch on the file: the folder is watched too.
    watcher_.addPath(QFileInfo(file).absolutePath());
    watcher_.addPath(file);
    read_regular_file(path_, limit(), last_bytes_);
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
    const FileStatus status = read_regular_file(path_, limit(), bytes);
    // A file that is gone (an editor between removing and renaming) or
    // unchanged (another file of the folder changed) is no reload.
    if (status == FileStatus::CannotOpen || !d_.model_loaded) return;
    if (status == FileStatus::Ok && bytes == last_bytes_ && !failed_) return;
    // Anything else is read again by the player, which keeps the last good
    // scene on an error: also a FIFO, a device or a file too large put in the
    // file's place, which were refused without being read.
    failed_ = status != FileStatus::Ok;
    last_bytes_ = std::move(bytes);
    const bool ok = reload_(path_);
    failed_ = failed_ || !ok;
    if (reloaded_) reloaded_(ok);
}

std::size_t ExperimentWatcher::limit() const {
    return text_format_of(path_) == TextFormat::None ? MAX_EXPERIMENT_FILE_BYTES : MAX_TEXT_FORM_BYTES;
}

}  // namespace quorrel
