// The numbers of a run, frame by frame, for the CSV export: the time, then
// x, y, vx, vy, ax, ay of every moving object, then every variable that holds
// a number. The columns are fixed when Run is pressed, with the first row:
// the start state at t = 0; each frame adds one row.
//
// Rows are kept in chunks that are allocated as the run grows and reused by
// later runs, so recording allocates nothing per frame. The rows of one run
// never take more than BUDGET_BYTES: when they would, every second row is
// dropped and from then on only every second frame is kept (the stride
// doubles), so a long run keeps its whole span at a coarser step.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "model/model.h"

namespace quorrel {

// Column names of `m` as the CSV header writes them: "t", then NAME.x, NAME.y,
// NAME.vx, NAME.vy, NAME.ax, NAME.ay for every object, then the variables from
// slot 1 on (variable 0 is the time). An object without a name is "#SLOT"; a
// name already used by an earlier object becomes "NAME#SLOT".
// Each column has the unit of the record field it samples ("s" for the
// time, the units of the object fields x … ay; none for a variable).
struct RunColumns {
    int objects = 0;
    std::vector<int> variables;      // slots
    std::vector<std::string> names;  // UTF-8, one per column
    std::vector<std::string> units;  // UTF-8, one per column
};
RunColumns run_columns(const Model& m);

// The run's time on the grid of its time step: sim_time adds up the steps
// with rounding noise (twenty 1 ms steps give 0.020000000000000011); the time
// of n steps is taken as the double nearest the decimal n × `step`, so it
// prints as "0.02". A time more than a quarter step off the grid, or a step
// that is not a positive number, leaves `t` as it is.
double time_on_step(double t, double step);

// The values of one row of `m`: width() numbers, the time on the grid of its
// step. A variable whose value is not a number gives NaN (an empty cell).
void sample_row(const Model& m, const RunColumns& c, double* out);

// "\xEF\xBB\xBF" (the byte-order mark spreadsheet programs need to see UTF-8)
// and the header line. Lines end in CR LF.
std::string csv_header(const RunColumns& c, bool with_bom = true);
// One data line: every number with the shortest text that reads back exactly;
// NaN and the infinities of an object as "NaN", "Infinity", "-Infinity".
void append_csv_row(std::string& out, const RunColumns& c, const double* row);

class RunRecord {
public:
    static constexpr std::size_t BUDGET_BYTES = std::size_t{64} << 20;
    static constexpr std::size_t CHUNK_ROWS = 1024;

    // At Run, with `m` at its start state: the columns of `m`, stride 1, and
    // the start row (frame 0).
    void start(const Model& m);
    // After a frame of the run.
    void record(const Model& m);
    // The row of the last recorded frame or of the start, kept or not
    // (nullptr before a start).
    const double* last() const { return last_.empty() ? nullptr : last_.data(); }
    // false: only last() is kept (the tool prints every frame as it goes).
    void keep_rows(bool keep) { keep_rows_ = keep; }

    const RunColumns& columns() const { return columns_; }
    std::size_t width() const { return columns_.names.size(); }
    std::size_t rows() const { return rows_; }
    const double* row(std::size_t i) const;
    // Frames between two kept rows (1 until the budget was reached); the
    // rows are frames 0, stride, 2 × stride, ...
    std::size_t stride() const { return stride_; }
    // Rows the budget allows at this width.
    std::size_t capacity() const;

    // The header and every kept row.
    std::string csv() const;

private:
    double* slot(std::size_t i);
    void thin_out();
    // Samples frame frames_ and keeps it when it falls on the stride.
    void sample(const Model& m);

    RunColumns columns_;
    std::vector<std::unique_ptr<double[]>> chunks_;
    std::size_t chunk_width_ = 0;  // the width the chunks were allocated for
    std::size_t rows_ = 0;
    std::size_t stride_ = 1;
    std::size_t frames_ = 0;  // frames since the start row
    std::vector<double> last_;
    bool keep_rows_ = true;
};

}  // namespace quorrel
