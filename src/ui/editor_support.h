// What the program editor and the variable editor share: the variable grid
// and the way they show a message.
#pragma once

#include <QString>
#include <functional>

class QTableWidget;
class QWidget;

namespace quorrel {

struct Model;

// Shows a message to the user. The editors show theirs through one of these
// so that a test can capture the text instead of answering a modal box.
using ShowMessage = std::function<void(QWidget* parent, const QString& text)>;

// Every message box of the player: `caption` (the application's name when
// empty) and `text`, with OK, or OK and Cancel; true when OK closed it.
bool message_box(QWidget* parent, const QString& caption, const QString& text, bool ok_cancel);

// A plain modal message box with the application's name as title and OK.
void plain_message(QWidget* parent, const QString& text);

// Which value a variable grid shows in its fourth column.
enum class GridValue { Current, Initial };

// A read-only grid of six columns, one whole row selected at a time.
QTableWidget* make_variable_grid(QWidget* parent, const QString (&titles)[6]);

// One row per variable in use: index, name, description, the value, the
// variable kind and the value kind.
void fill_variable_grid(QTableWidget* grid, const Model& m, GridValue value);

// A model text (GBK) for a control.
QString to_qstring(const std::string& gbk);

}  // namespace quorrel
