#include "database/query/Separators.h"

namespace tavik {

std::string SeparatorBytes(SeparatorChoice choice, const std::string& other) {
    switch (choice) {
        case SeparatorChoice::Tab:
            return "\t";
        case SeparatorChoice::CR:
            return "\r";
        case SeparatorChoice::LF:
            return "\n";
        case SeparatorChoice::CRLF:
            return "\r\n";
        case SeparatorChoice::FormFeed:
            return "\f";
        case SeparatorChoice::Null:
            return {};
        case SeparatorChoice::Other:
            return other;
    }
    return {};
}

const char* SeparatorCaption(SeparatorChoice choice) {
    switch (choice) {
        case SeparatorChoice::Tab:
            return "Tab";
        case SeparatorChoice::CR:
            return "CR";
        case SeparatorChoice::LF:
            return "LF";
        case SeparatorChoice::CRLF:
            return "CR+LF";
        case SeparatorChoice::FormFeed:
            return "Form feed";
        case SeparatorChoice::Null:
            return "NULL";
        case SeparatorChoice::Other:
            return "Other";
    }
    return "";
}

}  // namespace tavik
