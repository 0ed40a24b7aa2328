#include "app/json_text.h"

#include <QJsonDocument>
#include <QString>
#include <cmath>
#include <cstdio>

#include "model/gbk.h"

namespace quorrel {

QJsonValue json_real(double v) {
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    return v;
}

QJsonValue json_text(std::string_view gbk) {
    const std::string utf8 = gbk_to_utf8_lossless(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool print_text(std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

bool print_json(const QJsonObject& doc, bool indented) {
    QByteArray bytes = QJsonDocument(doc).toJson(indented ? QJsonDocument::Indented : QJsonDocument::Compact);
    // The compact form has no final newline; the indented one already ends with one.
    if (!indented) bytes += '\n';
    return print_text(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace quorrel
