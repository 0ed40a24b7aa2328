#include "support/tool_output.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <QProcess>
#include <memory>

#include "support/qt_app.h"

namespace quorrel::test {

ToolResult run_program(const QString& program, const QStringList& args, int timeout_ms) {
    ensure_core_app();
    QProcess p;
    p.start(program, args);
    ToolResult r;
    if (!p.waitForFinished(timeout_ms) || p.exitStatus() != QProcess::NormalExit) return r;
    r.code = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

Json::Value json_of(const QByteArray& text) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.constData(), text.constData() + text.size(), &root, &errors))
        << errors << text.left(200).toStdString();
    return root;
}

std::vector<Json::Value> json_lines(const QByteArray& out) {
    std::vector<Json::Value> v;
    for (const QByteArray& l : out.split('\n'))
        if (!l.isEmpty()) v.push_back(json_of(l));
    return v;
}

}  // namespace quorrel::test
