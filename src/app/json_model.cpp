#include "app/json_model.h"

#include <algorithm>

#include "app/json_text.h"

namespace quorrel {
namespace {

QJsonObject settings_json(const Settings& s) {
    QJsonObject o;
    o["steps_per_frame"] = s.steps_per_frame;
    o["origin_x"] = s.origin_x;
    o["origin_y"] = s.origin_y;
    o["scale"] = json_real(s.scale);
    o["time_step"] = json_real(s.time_step);
    o["show_axes"] = s.show_axes;
    o["show_grid"] = s.show_grid;
    o["show_fine_grid"] = s.show_fine_grid;
    o["axes_colour"] = s.axes_colour;
    o["line_width"] = s.line_width;
    o["background_colour"] = s.background_colour;
    o["background_mode"] = s.background_mode;
    o["v_scale"] = json_real(s.v_scale);
    o["a_scale"] = json_real(s.a_scale);
    o["f_scale"] = json_real(s.f_scale);
    o["v_colour"] = s.v_colour;
    o["a_colour"] = s.a_colour;
    o["force_colours"] = json_words(s.force_colours, FORCE_COLOURS);
    o["pause_time"] = json_real(s.pause_time);
    o["g"] = json_real(s.g);
    o["G"] = json_real(s.G);
    o["k"] = json_real(s.k);
    o["c"] = json_real(s.c);
    o["use_gravity"] = s.use_gravity;
    o["use_mutual_gravitation"] = s.use_mutual_gravitation;
    o["use_mutual_charge"] = s.use_mutual_charge;
    o["use_relativity"] = s.use_relativity;
    o["use_collisions"] = s.use_collisions;
    o["selected_object"] = s.selected_object;
    return o;
}

QJsonValue toolbar_json(const Model& m) {
    if (!m.has_toolbar) return QJsonValue::Null;
    const Toolbar& t = m.toolbar;
    QJsonObject o;
    o["hide_toolbar"] = t.hide_toolbar;
    o["show_settings_button"] = t.show_settings_button;
    o["show_run_buttons"] = t.show_run_buttons;
    o["show_time"] = t.show_time;
    o["show_exit_button"] = t.show_exit_button;
    return o;
}

QJsonObject object_json(const Model& m, int slot) {
    const MovingObject& b = m.objects[slot];
    QJsonObject o;
    o["slot"] = slot;
    o["kind"] = b.kind;
    o["name"] = json_text(m.object_texts[slot].name);
    o["second_text"] = json_text(m.object_texts[slot].second);
    o["width"] = json_real(b.width);
    o["height"] = json_real(b.height);
    o["ground_mu"] = json_real(b.ground_mu);
    o["surface_mu"] = json_real(b.surface_mu);
    o["angle_a"] = json_real(b.angle_a);
    o["angle_b"] = json_real(b.angle_b);
    o["host"] = b.host;
    o["orientation"] = b.orientation;
    o["stuck"] = b.stuck;
    o["riding"] = b.riding;
    o["rel_x"] = json_real(b.rel_x);
    o["rel_y"] = json_real(b.rel_y);
    o["loss"] = json_real(b.loss);
    o["x"] = json_real(b.x);
    o["y"] = json_real(b.y);
    o["vx"] = json_real(b.vx);
    o["vy"] = json_real(b.vy);
    o["ax"] = json_real(b.ax);
    o["ay"] = json_real(b.ay);
    o["mass"] = json_real(b.mass);
    o["charge"] = json_real(b.charge);
    o["x0"] = json_real(b.x0);
    o["y0"] = json_real(b.y0);
    o["vx0"] = json_real(b.vx0);
    o["vy0"] = json_real(b.vy0);
    o["rest_mass"] = json_real(b.rest_mass);
    o["fx"] = json_real(b.fx);
    o["fy"] = json_real(b.fy);
    o["radius"] = json_real(b.radius);
    o["trail_colour"] = b.trail_colour;
    o["ball_rgb"] = QJsonArray{b.ball_r, b.ball_g, b.ball_b};
    o["show_trail"] = b.show_trail;
    o["own_picture"] = b.own_picture;
    o["picture_dx"] = b.picture_dx;
    o["picture_dy"] = b.picture_dy;
    o["transparent_colour"] = b.transparent_colour;
    o["transparent"] = b.transparent;
    o["strobe_on"] = b.strobe_on;
    o["strobe_interval"] = json_real(b.strobe_interval);
    o["readout_flags"] = json_bytes(b.readout_flags, READOUT_COUNT);
    o["strobe_vector_flags"] = json_bytes(b.strobe_vector_flags, VECTOR_COUNT);
    o["live_vector_flags"] = json_bytes(b.live_vector_flags, VECTOR_COUNT);
    return o;
}

QJsonObject elements_json(const Model& m) {
    QJsonObject o;
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        QJsonArray list;
        const int n = element_count(m, t);
        for (int slot = 0; slot < n; ++slot) {
            double v[11];
            get_element(m, t, slot, v);
            QJsonArray values;
            for (int i = 0; i < element_reals(t); ++i) values.append(json_real(v[i]));
            list.append(QJsonObject{{"values", values}, {"name", json_text(element_name(m, t, slot))}});
        }
        o[ELEMENT_CODES[t]] = list;
    }
    return o;
}

QJsonObject font_json(const FontSpec& f) {
    QJsonObject o;
    o["charset"] = f.charset;
    o["colour"] = f.colour;
    o["height"] = f.height;
    o["pitch"] = f.pitch;
    o["size"] = f.size;
    o["style"] = f.style;
    return o;
}

QJsonArray measurements_json(const Model& m) {
    QJsonArray a;
    const int n = measurement_count(m);
    for (int i = 0; i < n; ++i) {
        const Measurement& r = m.measurements[i];
        QJsonObject o;
        o["type"] = r.type;
        o["lines"] = r.show_lines;
        o["x"] = r.label_x;
        o["y"] = r.label_y;
        o["colour"] = r.colour;
        o["value"] = json_real(r.value);
        o["kind1"] = r.kind1;
        o["quantity"] = r.quantity;
        o["kind2"] = r.kind2;
        o["kind3"] = r.kind3;
        o["texts"] = json_texts(m.measurement_texts[i].data(), MEASUREMENT_TEXTS);
        a.append(o);
    }
    return a;
}

QJsonArray text_blocks_json(const Model& m) {
    QJsonArray a;
    const int n = text_block_count(m);
    for (int i = 0; i < n; ++i) {
        const TextBlock& r = m.text_blocks[i];
        const auto& lines = m.text_block_lines[i];
        QJsonObject o;
        o["in_use"] = r.in_use;
        o["x"] = r.x;
        o["y"] = r.y;
        o["font"] = font_json(r.font);
        o["font_name"] = json_text(m.text_block_font[i]);
        o["lines"] = json_texts(lines.data(), static_cast<int>(lines.size()));
        a.append(o);
    }
    return a;
}

QJsonArray points_json(const Model& m) {
    QJsonArray a;
    const int n = point_count(m);
    for (int i = 0; i < n; ++i) {
        const Point& r = m.points[i];
        QJsonObject o;
        o["kind"] = r.kind;
        o["x"] = json_real(r.x);
        o["y"] = json_real(r.y);
        o["vector_scale"] = json_real(r.vector_scale);
        o["colour"] = r.colour;
        o["polar"] = r.polar;
        o["show_vector"] = r.show_vector;
        o["show_trail"] = r.show_trail;
        o["font"] = font_json(r.font);
        o["texts"] = json_texts(m.point_texts[i].data(), POINT_TEXTS);
        a.append(o);
    }
    return a;
}

QJsonArray annotations_json(const Model& m) {
    QJsonArray a;
    const int n = annotation_count(m);
    for (int i = 0; i < n; ++i) {
        const Annotation& r = m.annotations[i];
        QJsonObject o;
        o["x"] = r.x;
        o["y"] = r.y;
        o["width"] = r.width;
        o["in_use"] = r.in_use;
        o["font"] = font_json(r.font);
        o["text"] = json_text(m.annotation_text[i]);
        o["font_name"] = json_text(m.annotation_font[i]);
        a.append(o);
    }
    return a;
}

QJsonArray graphs_json(const Model& m) {
    QJsonArray a;
    const int n = graph_count(m);
    for (int i = 0; i < n; ++i) {
        const FunctionGraph& r = m.graphs[i];
        QJsonObject o;
        o["kind"] = r.kind;
        o["x"] = r.x;
        o["y"] = r.y;
        o["x_scale"] = json_real(r.x_scale);
        o["y_scale"] = json_real(r.y_scale);
        o["origin_x"] = json_real(r.origin_x);
        o["origin_y"] = json_real(r.origin_y);
        o["background"] = r.background;
        o["colour"] = r.colour;
        o["transparent"] = r.transparent;
        o["texts1"] = json_texts(m.graph_texts1[i].data(), CURVES);
        o["texts2"] = json_texts(m.graph_texts2[i].data(), CURVES);
        a.append(o);
    }
    return a;
}

QJsonArray variables_json(const Model& m) {
    QJsonArray a;
    const int n = std::clamp(m.variable_count, 0, MAX_VARIABLES);
    for (int i = 0; i < n; ++i) {
        const Variable& r = m.variables[i];
        const auto& t = m.variable_texts[i];
        QJsonObject o;
        o["name"] = json_text(t[VT_NAME]);
        o["description"] = json_text(t[VT_DESCRIPTION]);
        o["value"] = json_text(t[VT_VALUE]);
        o["initial"] = json_text(t[VT_INITIAL]);
        o["var_kind"] = r.var_kind;
        o["value_kind"] = r.value_kind;
        o["reading_form"] = r.reading_form;
        a.append(o);
    }
    return a;
}

QJsonArray programs_json(const Model& m) {
    QJsonArray a;
    const int n = std::clamp(m.program_count, 0, MAX_PROGRAMS);
    for (int i = 0; i < n; ++i) {
        // The line count is a stored word: never trust it beyond the 500 lines a program holds.
        const int lines = std::clamp(m.programs[i].line_count, 0, PROGRAM_LINES);
        a.append(QJsonObject{{"index", i}, {"lines", json_texts(m.program_lines[i].data(), lines)}});
    }
    return a;
}

QJsonArray pictures_json(const Model& m) {
    QJsonArray a;
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        const QImage& p = m.object_pictures[i];
        if (p.isNull()) continue;
        a.append(QJsonObject{{"slot", i}, {"width", p.width()}, {"height", p.height()}});
    }
    return a;
}

QJsonValue background_json(const Model& m) {
    const QImage& p = m.background_picture;
    if (p.isNull()) return QJsonValue::Null;
    return QJsonObject{{"width", p.width()}, {"height", p.height()}};
}

}  // namespace

QJsonObject model_to_json(const Model& m) {
    QJsonObject o;
    o["settings"] = settings_json(m.settings);
    o["toolbar"] = toolbar_json(m);
    QJsonArray objects;
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) objects.append(object_json(m, i));
    o["objects"] = objects;
    o["elements"] = elements_json(m);
    o["measurements"] = measurements_json(m);
    o["text_blocks"] = text_blocks_json(m);
    o["points"] = points_json(m);
    o["annotations"] = annotations_json(m);
    o["function_graphs"] = graphs_json(m);
    o["variables"] = variables_json(m);
    o["programs"] = programs_json(m);
    o["pictures"] = pictures_json(m);
    o["background"] = background_json(m);
    return o;
}

}  // namespace quorrel
