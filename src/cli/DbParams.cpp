#include "cli/DbParams.h"

#include <cctype>
#include <istream>
#include <ostream>

#include "base/Cp1252.h"

namespace tavik::cli {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

CCommandLineParams::CCommandLineParams(CCatalogue& catalogue, const std::vector<std::string>& pairs)
    : CCatalogueParams(catalogue), m_pairs(pairs) {
    for (const std::string& word : pairs) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos)
            m_values[Upper(Utf8ToCp1252(word.substr(0, equals)))] =
                Utf8ToCp1252(word.substr(equals + 1));
    }
}

bool CCommandLineParams::Read(std::string& badWord) const {
    for (const std::string& word : m_pairs) {
        if (word.find('=') == std::string::npos || word[0] == '=') {
            badWord = word;
            return false;
        }
    }
    return true;
}

std::optional<CParamSource::Stored> CCommandLineParams::FindStored(const std::string& name) {
    const auto given = m_values.find(Upper(name));
    if (given == m_values.end()) return CCatalogueParams::FindStored(name);
    // A value given here is read as the parameter dialog's "Auto" reads it.
    const ParamValue value = ReadAnswer({given->second, ParamChoice::Auto, false});
    switch (value.type) {
        case kParamYesNo:
            return Stored{kParamYesNo, value.yes ? "Yes" : "No"};
        case kParamNumber:
            return Stored{kParamNumber, std::to_string(value.number)};
        default:
            return Stored{kParamText, value.text};
    }
}

bool CTerminalAsker::AskParameter(const std::string& name, ParamAnswer& answer) {
    if (!m_terminal) {
        m_err << "parameter [" << Cp1252ToUtf8(name) << "] has no value: give it as \""
              << Cp1252ToUtf8(name) << "=VALUE\" after the statement, or store it in Params\n";
        return false;
    }
    m_err << "Enter value for parameter: " << Cp1252ToUtf8(name) << "? " << std::flush;
    std::string line;
    if (!std::getline(m_in, line)) return false;
    answer = {Utf8ToCp1252(line), ParamChoice::Auto, false};
    return true;
}

}  // namespace tavik::cli
