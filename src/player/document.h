// The experiment on show as a document: the model, the copy as it was read,
// where it came from, its undo history and whether it is loaded. Loading,
// saving and editing change these together; nothing here draws or runs.
#pragma once

#include <memory>
#include <string>

#include "format/io.h"
#include "model/model.h"
#include "player/edit_history.h"

namespace quorrel {

// Where the experiment on show came from: 保存 writes back only to an
// experiment file; a packed player or a text form asks for a name.
enum class ExperimentOrigin { None, Container, ExperimentFile, TextForm };
// A file opened or saved as an experiment: a text form by its extension, else an experiment file.
ExperimentOrigin file_origin(const std::string& path);

struct Document {
    std::unique_ptr<Model> model = make_model();
    bool model_loaded = false;
    // The experiment as it was read, before the scene was prepared: saving
    // keeps the values the player recomputes as they were read.
    std::unique_ptr<Model> loaded;
    ExperimentOrigin origin = ExperimentOrigin::None;
    // Undo and redo of the drags and property edits; the unsaved-edits flag.
    EditHistory edits;
    // The readers' working space for every load of this document (打开 included).
    LoadScratch load_scratch;
    // Paths in the local encoding.
    std::string program_folder;
    std::string executable_path;
    bool first_activation_done = false;
};

// Keeps a copy of the model as read (Document::loaded), before preparation.
void keep_as_loaded(Document& d);

}  // namespace quorrel
