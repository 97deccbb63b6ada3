// Texts between the core (code page 1252, "\r\n" line ends) and the widgets
// (UTF-8 strings, "\n" line ends).
#pragma once

#include <QString>
#include <string>

#include "base/Cp1252.h"

namespace tavik::dialogs {

inline QString Q(const std::string& s) {
    return QString::fromStdString(Cp1252ToUtf8(s));
}
inline std::string S(const QString& s) {
    return Utf8ToCp1252(s.toStdString());
}

// A multi-line text for a text box: "\r\n" shown as one line break.
inline QString BoxText(const std::string& s) {
    QString text = Q(s);
    text.replace("\r\n", "\n");
    return text;
}
// Back from a text box: every line break written "\r\n".
inline std::string FromBox(const QString& s) {
    QString text = s;
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
    return S(text);
}

}  // namespace tavik::dialogs
