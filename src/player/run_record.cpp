#include "player/run_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string_view>

#include "format/doc_tree.h"
#include "format/fields.h"
#include "model/gbk.h"
#include "model/numtext.h"

namespace quorrel {
namespace {

// The object fields sampled for every object, by their names in the field table.
constexpr const char* AXES[] = {"x", "y", "vx", "vy", "ax", "ay"};

const char* unit_of(SectionId section, const char* field) {
    return find_field(find_section(section).fields, field)->unit;
}

std::string csv_cell(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

std::string number_cell(double v, bool empty_when_not_finite) {
    if (std::isfinite(v)) return shortest_real(v);
    if (empty_when_not_finite) return {};
    if (std::isnan(v)) return "NaN";
    return v > 0 ? "Infinity" : "-Infinity";
}

// `step` as its shortest decimal, digits × 10^-places, when the digits fit
// in a double's integers.
bool decimal_of(double step, double& digits, int& places) {
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, step, std::chars_format::scientific);
    if (ec != std::errc()) return false;
    const std::string_view text(buf, static_cast<std::size_t>(end - buf));  // "1.25e-03"
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos) return false;
    std::uint64_t d = 0;
    int fraction = 0;
    bool point = false;
    for (char ch : text.substr(0, e)) {
        if (ch == '.') {
            point = true;
            continue;
        }
        d = d * 10 + static_cast<std::uint64_t>(ch - '0');
        if (point) ++fraction;
    }
    std::string_view exp = text.substr(e + 1);
    const bool negative = !exp.empty() && exp[0] == '-';
    if (!exp.empty() && (exp[0] == '-' || exp[0] == '+')) exp.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
    places = fraction - (negative ? -exponent : exponent);
    digits = static_cast<double>(d);
    return d < (std::uint64_t{1} << 53);
}

}  // namespace

double time_on_step(double t, double step) {
    if (!std::isfinite(t) || !std::isfinite(step) || !(step > 0.0)) return t;
    constexpr double EXACT = 9007199254740992.0;  // 2^53: integers below it are exact
    const double n = std::nearbyint(t / step);
    if (!(std::fabs(n) < EXACT) || std::fabs(t - n * step) > 0.25 * step) return t;
    double digits = 0;
    int places = 0;
    // n × digits and 10^places exact: one division rounds the decimal once.
    if (decimal_of(step, digits, places) && std::fabs(n) * digits < EXACT) {
        if (places >= 0 && places <= 22) return n * digits / std::pow(10.0, places);
        if (places < 0 && places >= -22 && std::fabs(n) * digits * std::pow(10.0, -places) < EXACT)
            return n * digits * std::pow(10.0, -places);
    }
    return n * step;
}

RunColumns run_columns(const Model& m) {
    RunColumns c;
    c.names.emplace_back("t");
    c.units.emplace_back(unit_of(SectionId::Settings, "time_step"));
    c.objects = object_count(m);
    std::set<std::string> used;
    for (int i = 0; i < c.objects; ++i) {
        std::string name = gbk_to_utf8(m.object_texts[i].name);
        if (name.empty())
            name = "#" + std::to_string(i);
        else if (used.count(name))
            name += "#" + std::to_string(i);
        used.insert(name);
        for (const char* axis : AXES) {
            c.names.push_back(name + "." + axis);
            c.units.emplace_back(unit_of(SectionId::Objects, axis));
        }
    }
    const int vars = std::clamp(m.variable_count, 0, MAX_VARIABLES);
    for (int v = 1; v < vars; ++v) {
        c.variables.push_back(v);
        c.names.push_back(gbk_to_utf8(m.variable_texts[v][VT_NAME]));
        c.units.emplace_back();
    }
    return c;
}

void sample_row(const Model& m, const RunColumns& c, double* out) {
    *out++ = time_on_step(m.sim_time, m.settings.time_step);
    for (int i = 0; i < c.objects; ++i) {
        const MovingObject& o = m.objects[i];
        for (double v : {o.x, o.y, o.vx, o.vy, o.ax, o.ay}) *out++ = v;
    }
    for (int v : c.variables) {
        double d = 0;
        *out++ = parse_number(m.variable_texts[v][VT_VALUE], d) ? d : std::nan("");
    }
}

std::string csv_header(const RunColumns& c, bool with_bom) {
    std::string out = with_bom ? "\xEF\xBB\xBF" : "";
    for (std::size_t i = 0; i < c.names.size(); ++i) {
        if (i > 0) out += ',';
        out += csv_cell(c.names[i]);
    }
    return out + "\r\n";
}

void append_csv_row(std::string& out, const RunColumns& c, const double* row) {
    const std::size_t n = c.names.size();
    const std::size_t first_variable = 1 + 6 * static_cast<std::size_t>(c.objects);
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) out += ',';
        out += number_cell(row[i], i >= first_variable);
    }
    out += "\r\n";
}

void RunRecord::start(const Model& m) {
    columns_ = run_columns(m);
    rows_ = 0;
    stride_ = 1;
    frames_ = 0;
    last_.assign(width(), 0.0);
    // Chunks of another width cannot be reused.
    if (chunk_width_ != width()) {
        chunks_.clear();
        chunk_width_ = width();
    }
    sample(m);
}

std::size_t RunRecord::capacity() const {
    const std::size_t per_row = std::max<std::size_t>(width(), 1) * sizeof(double);
    const std::size_t rows = BUDGET_BYTES / per_row;
    return std::max<std::size_t>(rows - rows % CHUNK_ROWS, CHUNK_ROWS);
}

double* RunRecord::slot(std::size_t i) {
    const std::size_t chunk = i / CHUNK_ROWS;
    while (chunks_.size() <= chunk) chunks_.push_back(std::make_unique<double[]>(CHUNK_ROWS * chunk_width_));
    return chunks_[chunk].get() + (i % CHUNK_ROWS) * chunk_width_;
}

const double* RunRecord::row(std::size_t i) const {
    return chunks_[i / CHUNK_ROWS].get() + (i % CHUNK_ROWS) * chunk_width_;
}

// Keeps rows 0, 2, 4, ...: the frames 0, 2s, 4s, ... of stride s.
void RunRecord::thin_out() {
    const std::size_t kept = (rows_ + 1) / 2;
    for (std::size_t i = 1; i < kept; ++i) std::memcpy(slot(i), row(2 * i), chunk_width_ * sizeof(double));
    rows_ = kept;
    stride_ *= 2;
}

void RunRecord::record(const Model& m) {
    if (width() == 0) return;
    ++frames_;
    sample(m);
}

void RunRecord::sample(const Model& m) {
    sample_row(m, columns_, last_.data());
    if (!keep_rows_ || frames_ % stride_ != 0) return;
    if (rows_ == capacity()) {
        thin_out();
        if (frames_ % stride_ != 0) return;
    }
    std::memcpy(slot(rows_), last_.data(), width() * sizeof(double));
    ++rows_;
}

std::string RunRecord::csv() const {
    std::string out = csv_header(columns_);
    out.reserve(out.size() + rows_ * width() * 12);
    for (std::size_t i = 0; i < rows_; ++i) append_csv_row(out, columns_, row(i));
    return out;
}

}  // namespace quorrel
