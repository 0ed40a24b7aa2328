// Qt's own dialogs (file, colour, message-box buttons) speak Chinese when
// Debian's Qt translations are installed, English otherwise.
#pragma once

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorrel {

// Loads Qt's Simplified Chinese texts into `translator` (which must outlive
// the application's use of it) and installs it; false when they are missing.
inline bool install_qt_chinese(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(&translator);
    return true;
}

}  // namespace quorrel
