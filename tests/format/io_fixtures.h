// Models filled for the reader and writer tests, and their comparison.
#pragma once

#include <QImage>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "format/io.h"
#include "format/text_form.h"
#include "model/model.h"

namespace quorrel::testing_io {

// A model with every table full (50 objects, 20 of each element, 100 of each
// list, 300 variables, 110 programs of 500 lines, 10 graphs) and every field
// distinct. Objects 0, 3, 6 ... carry stored bitmap bytes, objects 1, 4, 7 ...
// only a decoded picture, the rest none; even slots have their own-picture flag.
std::unique_ptr<Model> full_model();
// The text forms refuse NaN and the infinities in the values of the
// experiment (positions, masses ...): the random bytes get a finite value there.
void make_experiment_values_finite(Model& m);

// A model with one or two entries in every list, one object with its own
// bitmap and one without, one graph and a JPEG background (mode 1).
std::unique_ptr<Model> small_model();

// The small model with what a damaged or unusual file can hold: non-finite
// and negative-zero reals, texts that are not valid GBK or need escaping in
// TOML, reserved words in use, programs with gaps and a tool bar.
std::unique_ptr<Model> odd_model();

// The three models above by name ("full", "small", "odd"), for tests that take each in turn.
struct NamedModel {
    const char* name;
    std::unique_ptr<Model> model;
};
std::vector<NamedModel> every_fixture();

// The bytes of small Windows bitmap and JPEG files.
std::string tiny_bmp(QRgb colour, int width = 3, int height = 2);
std::string tiny_jpeg();

enum class Format { Container, Experiment, ExperimentNoGraphs };

// What a reader should make of `source` written in `format`.
std::unique_ptr<Model> expected_after_read(const Model& source, Format format);

// Compares every stored field, text and picture (reports the first slot that differs per table).
void expect_same_model(const Model& expected, const Model& actual);

// Everything a failed read must leave alone, as one comparable string.
std::string fingerprint(const Model& m);

// A packed player holding `m`, with a short stand-in for the executable.
std::string packed(const Model& m);

// Reads a text form from a string (pictures only by data).
LoadResult read_text(Model& m, const std::string& text, TextFormat f);

struct Refusal {
    TextFormat format;
    std::string text;
    std::string message;  // a part of the reader's message
};

// Each text is refused with a short message holding the expected part; the
// model that was open stays exactly as it was.
void expect_refused(std::span<const Refusal> cases);

}  // namespace quorrel::testing_io
