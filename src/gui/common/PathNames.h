// File names between Qt and the core, which takes them as UTF-8 on Windows (where it opens files by wide
// names) and as the bytes the file calls use elsewhere.
#pragma once

#include <QFile>
#include <QString>
#include <string>

[[nodiscard]] inline std::string pathNameForCore(const QString& name) {
#ifdef _WIN32
    return name.toUtf8().toStdString();
#else
    return QFile::encodeName(name).toStdString();
#endif
}

[[nodiscard]] inline QString pathNameFromCore(const std::string& name) {
#ifdef _WIN32
    return QString::fromUtf8(name);
#else
    return QFile::decodeName(QByteArray::fromStdString(name));
#endif
}
