#pragma once
// The core keeps texts as bytes in the system's code page; the windows show QStrings.

#include <QString>
#include <string>

namespace vorlisk {

inline QString ToQt(const std::string& bytes) { return QString::fromLocal8Bit(bytes); }
inline std::string FromQt(const QString& text) { return text.toLocal8Bit().toStdString(); }

// A text field shows line breaks as LF; the program stores them as CR LF.
inline QString ToEditorLines(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
inline QString FromEditorLines(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

}  // namespace vorlisk
