// Texts between the core and the widgets. TI names, disk texts and the catalogue are code page
// 1252 with "\r\n" line ends; the widgets hold Unicode with "\n" line ends. (PC paths are the
// file system's UTF-8: QString::fromStdString and toStdString carry them as they are.)
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "base/Cp1252.h"

namespace tavik {

inline QString Q(std::string_view cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}
// Characters without a code page 1252 form become '?'.
inline std::string S(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

// A multi-line text for a text box: "\r\n" shown as one line break.
inline QString BoxText(std::string_view cp1252) {
    QString text = Q(cp1252);
    text.replace("\r\n", "\n");
    return text;
}
// Back from a text box: every line break written "\r\n".
inline std::string FromBox(const QString& text) {
    QString box = text;
    box.replace("\r\n", "\n");
    box.replace("\n", "\r\n");
    return S(box);
}

}  // namespace tavik
