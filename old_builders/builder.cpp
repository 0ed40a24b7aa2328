#include "old_builders/builder.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "model/gbk.h"
#include "model/pictures.h"
#include "model/vec.h"

namespace quorrel {
namespace {

QColor qcolour(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int pixels(double world, double scale) {
    return std::max(2, static_cast<int>(std::lround(world / scale)));
}

// The picture is drawn transparently: pixels of `key` let the scene show through.
void set_picture(Model& m, int slot, const QImage& image, int dx, int dy, Colour key = 0xFFFFFF) {
    MovingObject& o = m.objects[slot];
    m.object_pictures[slot] = image;
    m.object_picture_bytes[slot] = encode_bmp(image);
    o.own_picture = 1;
    o.picture_dx = dx;
    o.picture_dy = dy;
    o.transparent_colour = key;
    o.transparent = 1;
}

QImage white_picture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

MovingObject& demo_object(Model& m, int slot, std::int32_t kind, const char* name, double x, double y, double mass) {
    MovingObject& o = m.objects[slot];
    o.kind = kind;
    o.x0 = o.x = o.prev_x = x;
    o.y0 = o.y = o.prev_y = y;
    o.rest_mass = o.mass = mass;
    o.strobe_interval = 1.0;
    m.object_texts[slot].name = utf8_to_gbk(name);
    return o;
}

MovingObject& demo_ball(Model& m, int slot, const char* name, double x, double y, double radius, double mass, int r,
                        int g, int b) {
    MovingObject& o = demo_object(m, slot, KIND_BODY, name, x, y, mass);
    o.radius = radius;
    o.ball_r = r;
    o.ball_g = g;
    o.ball_b = b;
    // The generated ball is 2b x 2b pixels: centre it on the position.
    const int half = ball_half_size(m, slot);
    o.picture_dx = -half;
    o.picture_dy = -half;
    return o;
}

void demo_velocity(MovingObject& o, double vx, double vy) {
    o.vx0 = o.vx = o.prev_vx = vx;
    o.vy0 = o.vy = o.prev_vy = vy;
}

void demo_trail(MovingObject& o, Colour colour) {
    o.show_trail = 1;
    o.trail_colour = colour;
}

void demo_incline_picture(Model& m, int slot, Colour fill) {
    const MovingObject& o = m.objects[slot];
    const int w = pixels(o.width, m.settings.scale), h = pixels(o.height, m.settings.scale);
    QImage image = white_picture(w, h);
    QPainter p(&image);
    p.setPen(qcolour(0x404040));
    p.setBrush(qcolour(fill));
    // Orientation 0 rises to the right (vertical side on the right); 1 is its mirror image.
    QPolygon section;
    if (o.orientation == 0)
        section << QPoint(0, h - 1) << QPoint(w - 1, h - 1) << QPoint(w - 1, 0);
    else
        section << QPoint(0, 0) << QPoint(0, h - 1) << QPoint(w - 1, h - 1);
    p.drawPolygon(section);
    p.end();
    // The position is the section's centroid: a third of the height above the
    // base, a third of the width from the vertical side.
    const int dx = o.orientation == 0 ? -(2 * w) / 3 : -w / 3;
    set_picture(m, slot, image, dx, -(2 * h) / 3);
}

void demo_box_picture(Model& m, int slot, Colour fill, double tilt_degrees) {
    const MovingObject& o = m.objects[slot];
    const int w = pixels(o.width, m.settings.scale), h = pixels(o.height, m.settings.scale);
    // The picture just holds the tilted box.
    const double c = std::fabs(std::cos(tilt_degrees * PI / 180)), s = std::fabs(std::sin(tilt_degrees * PI / 180));
    const int pw = static_cast<int>(std::ceil(w * c + h * s)) + 2, ph = static_cast<int>(std::ceil(w * s + h * c)) + 2;
    QImage image = white_picture(pw, ph);
    QPainter p(&image);
    p.setPen(qcolour(0x202020));
    p.setBrush(qcolour(fill));
    p.translate(pw / 2.0, ph / 2.0);
    p.rotate(-tilt_degrees);  // screen y points down: a positive tilt turns counter-clockwise
    p.drawRect(QRectF(-w / 2.0, -h / 2.0, w, h));
    p.end();
    set_picture(m, slot, image, -pw / 2, -ph / 2);
}

void demo_charge(Model& m, int slot, double charge) {
    m.objects[slot].charge = charge;
    // The generated ball on black, with a white plus or minus across its middle.
    QImage image = make_ball_picture(m, slot);
    const int b = image.width() / 2, arm = std::max(2, b * 3 / 5);
    QPainter p(&image);
    p.setPen(QPen(Qt::white, std::max(2, b / 3), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(b - arm, b, b + arm, b);
    if (charge > 0) p.drawLine(b, b - arm, b, b + arm);
    p.end();
    set_picture(m, slot, image, -b, -b, 0x000000);
}

void demo_font(FontSpec& f, Colour colour, int points) {
    f = FontSpec{};
    f.charset = 134;  // the Chinese (GB2312) character set
    f.colour = colour;
    f.height = -(points * 4 / 3);  // pixels at 96 dpi, negative: character height without leading
    f.size = points;
}

int demo_variable(Model& m, const char* name, const char* description, const char* value) {
    if (m.variable_count < 0 || m.variable_count >= MAX_VARIABLES) return -1;
    const int slot = m.variable_count++;
    m.variables[slot] = Variable{};
    auto& t = m.variable_texts[slot];
    t[VT_NAME] = utf8_to_gbk(name);
    t[VT_DESCRIPTION] = utf8_to_gbk(description);
    t[VT_VALUE] = utf8_to_gbk(value);
    t[VT_INITIAL] = t[VT_VALUE];
    return slot;
}

bool demo_program_line(Model& m, int program, const char* line) {
    if (program < 0 || program >= MAX_PROGRAMS) return false;
    EventProgram& p = m.programs[program];
    if (p.line_count < 0 || p.line_count >= PROGRAM_LINES) return false;
    m.program_lines[program][p.line_count++] = utf8_to_gbk(line);
    if (m.program_count <= program) m.program_count = program + 1;
    return true;
}

int demo_annotation(Model& m, int x, int y, int width, Colour colour, const char* text) {
    const int slot = annotation_count(m);
    if (slot >= MAX_ANNOTATIONS) return -1;
    Annotation& a = m.annotations[slot];
    a = Annotation{};
    a.x = x;
    a.y = y;
    a.width = width;
    demo_font(a.font, colour, 12);
    a.in_use = 1;
    m.annotation_text[slot] = utf8_to_gbk(text);
    m.annotation_font[slot] = utf8_to_gbk("宋体");
    return slot;
}

int demo_graph(Model& m, int x, int y, double x_scale, double y_scale, double origin_x, double origin_y,
               Colour background, Colour axes) {
    const int slot = graph_count(m);
    if (slot >= MAX_GRAPHS) return -1;
    FunctionGraph& g = m.graphs[slot];
    g.kind = 1;
    g.x = x;
    g.y = y;
    g.x_scale = x_scale;
    g.y_scale = y_scale;
    g.origin_x = origin_x;
    g.origin_y = origin_y;
    g.background = background;
    g.colour = axes;
    g.transparent = 0;
    // Curves not in use name no variable on either axis.
    for (int c = 0; c < CURVES; ++c) m.graph_texts1[slot][c] = m.graph_texts2[slot][c] = gbk::VALUE_ZERO;
    return slot;
}

void demo_curve(Model& m, int graph, int curve, const char* x_expression, const char* y_expression, Colour colour) {
    m.graph_texts1[graph][curve] = utf8_to_gbk(x_expression);
    m.graph_texts2[graph][curve] = utf8_to_gbk(y_expression);
    m.graphs[graph].curve_colour[curve] = colour;
}

int demo_point(Model& m, const char* name, double x, double y, Colour colour, const char* label) {
    const int slot = point_count(m);
    if (slot >= MAX_POINTS) return -1;
    Point& p = m.points[slot];
    p = Point{};
    p.kind = 1;
    p.x = x;
    p.y = y;
    p.colour = colour;
    p.vector_scale = 1.0;
    demo_font(p.font, colour, 10);
    auto& t = m.point_texts[slot];
    t[PT_NAME] = utf8_to_gbk(name);
    t[PT_VECTOR_X].clear();
    t[PT_VECTOR_Y].clear();
    t[PT_LABEL] = utf8_to_gbk(label);
    t[PT_FONT_NAME] = utf8_to_gbk("宋体");
    return slot;
}

int demo_text_block(Model& m, int x, int y, Colour colour, std::initializer_list<const char*> lines) {
    const int slot = text_block_count(m);
    if (slot >= MAX_TEXT_BLOCKS) return -1;
    TextBlock& b = m.text_blocks[slot];
    b = TextBlock{};
    b.in_use = 1;
    b.x = x;
    b.y = y;
    demo_font(b.font, colour, 10);
    m.text_block_font[slot] = utf8_to_gbk("宋体");
    m.text_block_lines[slot].clear();
    for (const char* line : lines) m.text_block_lines[slot].push_back(utf8_to_gbk(line));
    return slot;
}

void demo_settings(Model& m, int origin_x, int origin_y, double scale, int steps_per_frame) {
    Settings& s = m.settings;
    s.origin_x = origin_x;
    s.origin_y = origin_y;
    s.scale = scale;
    s.time_step = 0.001;
    s.steps_per_frame = steps_per_frame;
    s.show_axes = 1;
    s.show_grid = 0;
    s.show_fine_grid = 0;
    s.axes_colour = 0x606060;
    s.background_colour = 0;
    s.pause_time = 0.0;
    s.g = 9.8;
}

int demo_reading(Model& m, std::int32_t type, std::int32_t quantity, std::initializer_list<DemoRef> refs,
                 const char* caption, const char* variable, int x, int y, Colour colour) {
    int slot = 0;
    while (slot < MAX_MEASUREMENTS && m.measurements[slot].type != 0) ++slot;
    if (slot >= MAX_MEASUREMENTS) return -1;
    Measurement& r = m.measurements[slot];
    r = Measurement{};
    r.type = type;
    r.quantity = quantity;
    r.show_lines = 1;
    r.label_x = x;
    r.label_y = y;
    r.colour = colour;
    auto& t = m.measurement_texts[slot];
    t[MT_VARIABLE] = utf8_to_gbk(variable);
    t[MT_CAPTION] = utf8_to_gbk(caption);
    t[MT_VALUE] = Text(1, '0');
    std::int32_t* kinds[3] = {&r.kind1, &r.kind2, &r.kind3};
    int i = 0;
    for (const DemoRef& ref : refs) {
        if (i >= 3) break;
        *kinds[i] = ref.kind;
        t[MT_POINT1 + i] = utf8_to_gbk(ref.name);
        ++i;
    }
    return slot;
}

}  // namespace quorrel
