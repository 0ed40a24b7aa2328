// The text forms of an experiment: TOML for people (named fields, comments,
// every omitted field taking its reset value) and JSON as `quorrel-tool dump`
// prints it. Both hold the same tree of tables and fields (fields.h), so a
// model converts between the experiment file and either text form without
// losing anything.
//
// Texts are UTF-8; a byte of a stored text that is not valid GBK is written as
// the private-use character U+10FF00 + byte and read back as that byte.
// Pictures are held as base64 text ("data") or read from a file beside the
// text ("file").
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "format/doc_tree.h"
#include "format/io.h"
#include "model/model.h"

namespace quorrel {

enum class TextFormat { None, Toml, Json };

// By the file name's extension, in any case: ".toml", ".json", else None.
TextFormat text_format_of(std::string_view path);

struct DocOptions {
    bool every_field = true;     // every documented field; false: only fields that differ from their reset values
    bool picture_data = false;   // the pictures' bytes as base64 ("data")
    bool element_values = true;  // element records as their "values" list; false: by named fields
};
DocNode model_to_doc(const Model& m, const DocOptions& options);

// The dump's JSON: every field, pictures by size only.
std::string dump_json(const Model& m);
// The JSON text form: the dump with the pictures' bytes.
std::string write_json(const Model& m);
// The TOML text form: only what differs from a reset model, with units as comments.
std::string write_toml(const Model& m);

// Reads a text form into a fresh model and moves it into `m` only on success.
// `folder` is where picture files named by "file" are looked up ("" = the
// working folder). Errors name the line and the field.
LoadResult read_text_form(Model& m, std::string_view text, TextFormat format, const std::string& folder,
                          LoadScratch& scratch);
// Where the picture files named by "file" come from: true and their bytes, or
// false when there is no such file (the read then fails naming it).
using PictureFiles = std::function<bool(const std::string& name, std::string& bytes)>;
// The same with the pictures taken from `files` (texts embedded in a program
// bring their pictures along).
LoadResult read_text_form(Model& m, std::string_view text, TextFormat format, const PictureFiles& files,
                          LoadScratch& scratch);
LoadResult read_text_form_file(Model& m, const std::string& path, LoadScratch& scratch);

// The experiment file, or a text form by the extension: what the player opens.
LoadResult read_experiment_or_text_file(Model& m, const std::string& path, LoadScratch& scratch);

// The bytes to store `m` at `path`: a text form by the extension, else the experiment file.
std::string write_for_path(const Model& m, std::string_view path);

}  // namespace quorrel
