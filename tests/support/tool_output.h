// Running a program of the build as a user does (quorrel-tool, the player)
// and reading the JSON it prints, with jsoncpp, the library the programs
// themselves read JSON with.
#pragma once

#include <json/value.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorrel::test {

struct ToolResult {
    int code = -1;  // -1: did not finish in time, or crashed
    QByteArray out, err;
};

// Runs `program` with `args` and waits at most `timeout_ms` for it to end.
ToolResult run_program(const QString& program, const QStringList& args, int timeout_ms = 120000);

// One JSON document; text that does not parse is a test failure and a null value.
Json::Value json_of(const QByteArray& text);
// Each non-empty line of `out` as a JSON document.
std::vector<Json::Value> json_lines(const QByteArray& out);

}  // namespace quorrel::test
