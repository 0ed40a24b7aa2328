// Output of quorrel-tool: writing to stdout, and the JSON values of the lines
// of `quorrel-tool run`. Texts of the model are GBK and become UTF-8 strings;
// reals are printed by Qt's JSON writer, which writes the shortest text that
// reads back as the same double, whatever the locale.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <string>
#include <string_view>

#include "model/model.h"

namespace quorrel {

// A real. JSON has no NaN or infinity, and Qt would silently print them as
// null; they become the strings "NaN", "Infinity" and "-Infinity" instead, so a
// damaged value stays visible and the output stays valid JSON.
QJsonValue json_real(double v);
// A stored GBK text as a UTF-8 string (a byte that is not GBK as U+10FF00 + byte).
QJsonValue json_text(std::string_view gbk);

// Writes `text` to stdout and flushes it; false when stdout failed.
bool print_text(std::string_view text);
// Writes `doc` followed by a newline to stdout; false when stdout failed.
bool print_json(const QJsonObject& doc, bool indented);

}  // namespace quorrel
