// The experiment model: one plain value holding every table of an experiment,
// the settings block, the pictures and the run-time values the engine, the
// drawing and the event programs share. Tables have fixed capacities; slots are
// used from 0 upward and a list ends at the first empty slot (or a stored count).
//
// Texts are GBK byte strings (code page 936), exactly as stored in the files;
// conversion to Unicode happens only at the edges (drawing, dialogs, the tool).
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"
#include "model/vec.h"

namespace quorrel {

using Text = std::string;  // GBK bytes, no terminating zero

inline constexpr int MAX_OBJECTS = 50;
inline constexpr int MAX_MEASUREMENTS = 100;
inline constexpr int MAX_TEXT_BLOCKS = 100;
inline constexpr int MAX_POINTS = 100;
inline constexpr int MAX_ANNOTATIONS = 100;
inline constexpr int MAX_GRAPHS = 10;
inline constexpr int MAX_ELEMENTS = 20;
inline constexpr int MAX_VARIABLES = 300;
inline constexpr int MAX_PROGRAMS = 110;
inline constexpr int PROGRAM_LINES = 500;
inline constexpr int MAX_TEXT_BYTES = 1999;  // a stored text's n + 1 never exceeds 2000
inline constexpr int GRAPH_PICTURE_SIZE = 240;
inline constexpr int FORCE_COLOURS = 11;

struct Settings {
    std::int32_t steps_per_frame;
    std::int32_t origin_x, origin_y;
    double scale;  // world units per pixel
    double time_step;
    std::uint8_t show_axes, show_grid, show_fine_grid;
    Colour axes_colour;
    std::int32_t line_width;
    Colour background_colour;
    double v_scale, a_scale;
    Colour v_colour, a_colour;
    double f_scale;
    Colour force_colours[FORCE_COLOURS];
    double pause_time;
    double g, G, k, c;
    std::uint8_t use_gravity, use_mutual_gravitation, use_mutual_charge, use_relativity, use_collisions;
    std::int32_t selected_object;
    std::uint8_t background_mode;  // 1 top left, 2 centred, 3 stretched, else none
};

// Tool-bar options of a container (not present in an experiment file).
struct Toolbar {
    std::int32_t hide_toolbar = 0;
    std::int32_t reserved14 = 0;
    std::int32_t show_settings_button = 1;
    std::int32_t reserved22 = 0;
    std::int32_t reserved26 = 0;
    std::int32_t show_run_buttons = 1;
    std::int32_t show_time = 1;
    std::int32_t show_exit_button = 1;
};

// The graph window block of the files: kept and written back, unused by the player.
struct GraphWindow {
    double r0, r1;
    std::uint8_t f0;
    double r2, r3;
    std::uint8_t f1;
    double r4, r5;
};

template <class Rec>
struct ElementList {
    std::array<Rec, MAX_ELEMENTS> rec;
    std::array<Text, MAX_ELEMENTS> name;
    std::int32_t reserved;  // the word stored after the table
};

// Force components of one object's last step, for the vector display.
struct ForceBreakdown {
    XY total;
    XY th[MAX_ELEMENTS];    // per TH spring
    XY e_th[MAX_ELEMENTS];  // per E_TH spring
    XY electric;
    XY lorentz;
    XY tb[MAX_ELEMENTS];               // TB track support
    XY ct[MAX_ELEMENTS];               // CT track support
    XY unused[MAX_ELEMENTS];           // left at zero by the engine
    double host_support[MAX_OBJECTS];  // written by block_on_host, indexed by host
    XY host_normal[MAX_OBJECTS];       // normal force from that host
    XY friction;
    double friction_angle;
    std::int32_t friction_state;  // 0 none, 1 sliding or held by computed friction, 2 sticking
};

// Per-step scratch values shared by the kernel and its solvers.
struct StepScratch {
    double step_dt;
    std::int32_t stop_velocity;
    std::int32_t on_tb_track, tb_track_index;
    std::int32_t on_ct_track, ct_track_index;
    double support_normal[MAX_OBJECTS];
    double support_friction[MAX_OBJECTS];
    double block_vertical_load[MAX_OBJECTS];
    double ct_contact_distance[MAX_OBJECTS];  // a body's distance from its arc's centre at the contact test
};

// Presence flags, one per element table, set by run preparation.
using Presence = std::array<std::uint8_t, ELEMENT_TABLES>;

struct ObjectTexts {
    Text name, second;
};

// The lines of the event programs: MAX_PROGRAMS programs of PROGRAM_LINES
// texts. Most experiments use a few programs of the 110, so a program's 500
// texts are allocated at the first non-const access to it; reading a program
// never written gives empty lines. A model that never uses most programs does
// not hold their texts. Clearing keeps the allocated programs for reuse, and a
// move swaps the two tables' programs (the moved-from table gets the old ones
// back to reuse) instead of moving 55 000 texts.
class ProgramLines {
public:
    using Program = std::array<Text, PROGRAM_LINES>;

    ProgramLines() = default;
    ProgramLines(const ProgramLines& o) { *this = o; }
    ProgramLines(ProgramLines&& o) noexcept = default;
    ProgramLines& operator=(const ProgramLines& o);
    ProgramLines& operator=(ProgramLines&& o) noexcept {
        programs_.swap(o.programs_);
        return *this;
    }

    Program& operator[](std::size_t program) {
        std::unique_ptr<Program>& p = programs_[program];
        if (!p) p = std::make_unique<Program>();
        return *p;
    }
    const Program& operator[](std::size_t program) const {
        const std::unique_ptr<Program>& p = programs_[program];
        return p ? *p : empty_program();
    }
    static constexpr std::size_t size() { return MAX_PROGRAMS; }

    // Empties every line.
    void clear();

private:
    static const Program& empty_program();
    std::array<std::unique_ptr<Program>, MAX_PROGRAMS> programs_;
};

struct Snapshot {
    bool taken = false;
    std::array<MovingObject, MAX_OBJECTS> objects;
    std::array<ObjectTexts, MAX_OBJECTS> object_texts;
    std::array<Point, MAX_POINTS> points;
    std::array<std::array<Text, POINT_TEXTS>, MAX_POINTS> point_texts;
};

// The tables that drags on the scene and the property dialogs change: the
// model holds them as its base, so an undo step copies them in one
// assignment (`static_cast<EditableTables&>(copy) = m`) and a table added
// here is kept by the undo history without more code.
struct EditableTables {
    std::array<MovingObject, MAX_OBJECTS> objects;
    std::array<ObjectTexts, MAX_OBJECTS> object_texts;

    ElementList<ZRegion> Z;
    ElementList<FixedMass> M;
    ElementList<FixedCharge> E;
    ElementList<ElectricField> EA;
    ElementList<MagneticField> BA;
    ElementList<AnchorSpring> TH;
    ElementList<ObjectSpring> E_TH;
    ElementList<StraightTrack> TB;
    ElementList<ArcTrack> CT;
    ElementList<AnchorLink> SH;
    ElementList<ObjectLink> E_SH;
    ElementList<AnchorLink> GAN;
    ElementList<ObjectLink> E_GAN;

    std::array<Measurement, MAX_MEASUREMENTS> measurements;
    std::array<std::array<Text, MEASUREMENT_TEXTS>, MAX_MEASUREMENTS> measurement_texts;
    std::array<TextBlock, MAX_TEXT_BLOCKS> text_blocks;
    std::array<Point, MAX_POINTS> points;
    std::array<std::array<Text, POINT_TEXTS>, MAX_POINTS> point_texts;
    std::array<Annotation, MAX_ANNOTATIONS> annotations;
    std::array<FunctionGraph, MAX_GRAPHS> graphs;
};

struct Model : EditableTables {
    Settings settings;
    double sim_time;
    std::int32_t digits = 4;  // significant digits of displayed numbers; kept by a reset
    Presence present;
    std::int32_t reserved_word1;  // container variable-part block 1
    std::int32_t reserved_word8;  // the word after the points
    std::array<std::uint8_t, 50> reserved_block;
    Toolbar toolbar;
    bool has_toolbar;  // true when loaded from a container

    std::array<ForceBreakdown, MAX_OBJECTS> forces;

    std::array<Measurement, MAX_MEASUREMENTS> prev_measurements;  // previous readings
    std::array<std::array<Text, MEASUREMENT_TEXTS>, MAX_MEASUREMENTS> prev_measurement_texts;

    std::array<Text, MAX_TEXT_BLOCKS> text_block_font;
    std::array<std::vector<Text>, MAX_TEXT_BLOCKS> text_block_lines;

    std::array<Text, MAX_ANNOTATIONS> annotation_text;
    std::array<Text, MAX_ANNOTATIONS> annotation_font;

    std::array<std::array<Text, CURVES>, MAX_GRAPHS> graph_texts1;  // x expressions
    std::array<std::array<Text, CURVES>, MAX_GRAPHS> graph_texts2;  // y expressions
    GraphWindow graph_window;
    Text graph_title;

    std::array<Variable, MAX_VARIABLES> variables;
    std::array<std::array<Text, VARIABLE_TEXTS>, MAX_VARIABLES> variable_texts;
    std::int32_t variable_count;

    std::array<EventProgram, MAX_PROGRAMS> programs;
    ProgramLines program_lines;
    std::int32_t program_count;

    // Pictures. The decoded image is what is drawn; the stored bytes are kept so
    // that a writer can store exactly what was read.
    std::array<QImage, MAX_OBJECTS> object_pictures;
    std::array<std::string, MAX_OBJECTS> object_picture_bytes;  // a Windows bitmap file, or empty
    std::array<QImage, MAX_GRAPHS> graph_pictures;
    QImage background_picture;
    std::string background_jpeg;  // the JPEG file bytes, or empty

    // Run-time values shared by the engine, the drawing and the event programs.
    std::string experiment_path;  // file the experiment came from (local encoding); kept by a reset
    bool running;
    double next_pause;
    std::string stop_message;  // UTF-8; non-empty stops the run at the end of the frame
    StepScratch step;

    Snapshot snapshot;
};

// Resets every table and setting, ready for a load. Keeps the settings a reset
// does not touch (grids, axes colour, vector display, pause time) and `digits`.
void reset_model(Model& m);
void reset_variables(Model& m);
void reset_programs(Model& m);

// Default values of the settings a reset keeps, for a model that was never loaded.
void init_kept_settings(Model& m);

// A freshly allocated, reset model. The model is large: keep it on the heap.
std::unique_ptr<Model> make_model();

// Number of used slots of each table (up to the first empty slot, never beyond
// the capacity).
int object_count(const Model& m);
int measurement_count(const Model& m);
int text_block_count(const Model& m);
int point_count(const Model& m);
int annotation_count(const Model& m);
int graph_count(const Model& m);
int element_count(const Model& m, int table);
bool element_present(const Model& m, int table, int slot);

// Generic access to an element record as its reals in stored order.
int element_reals(int table);
void get_element(const Model& m, int table, int slot, double* out);
void set_element(Model& m, int table, int slot, const double* in);
Text& element_name(Model& m, int table, int slot);
const Text& element_name(const Model& m, int table, int slot);
std::int32_t& element_reserved(Model& m, int table);
std::int32_t element_reserved(const Model& m, int table);

// Name lookups: the first matching slot, or -1.
int find_object(const Model& m, std::string_view name);
int find_point(const Model& m, std::string_view name);
// Variables are scanned from slot 0 up to the count or the first empty name.
int find_variable(const Model& m, std::string_view name);

// Snapshot of the moving objects and points.
void take_snapshot(Model& m);
void restore_snapshot(Model& m);

}  // namespace quorrel
