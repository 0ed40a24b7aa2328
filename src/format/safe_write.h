// Writing a file so that a failure never leaves it half-written: the bytes go
// to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is renamed over the target. Until the rename the old file is
// untouched; after it the new one is complete. A write killed before the
// rename leaves its temporary file; the next write to the same folder
// recognises such files by their name and removes them.
#pragma once

#include <string>
#include <string_view>

namespace quorrel {

struct WriteResult {
    bool ok = false;
    std::string message;  // UTF-8, for the user, when !ok
};

// Writes `bytes` to `path` (local encoding). A new file gets the usual
// permissions (0666 less the umask); a replaced file keeps its own. A target
// that is read-only, a folder that cannot be written, a full disk or any other
// failure gives a message and leaves the old file as it was.
WriteResult write_file_safely(const std::string& path, std::string_view bytes);

}  // namespace quorrel
