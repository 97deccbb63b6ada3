#include "database/query/ParamResolver.h"

#include <cctype>
#include <climits>

#include "base/CInteger.h"
#include "base/UpperAscii.h"
#include "disk/TiDateTime.h"

namespace tavik {

namespace {

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

int32_t ParamTypeClass(int32_t type) {
    switch (type) {
        case 1:
            return kParamYesNo;
        case 2:
        case 4:
            return kParamNumber;
        case 10:
            return kParamText;
        default:
            return 0;
    }
}

ParamValue ParamValue::YesNo(bool v) {
    ParamValue p;
    p.type = kParamYesNo;
    p.yes = v;
    return p;
}
ParamValue ParamValue::Number(long v) {
    ParamValue p;
    p.type = kParamNumber;
    p.number = v;
    return p;
}
ParamValue ParamValue::Text(std::string v) {
    ParamValue p;
    p.type = kParamText;
    p.text = std::move(v);
    return p;
}
ParamValue ParamValue::Null() {
    ParamValue p;
    p.null = true;
    return p;
}

long ReadDecimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = INT_MAX + 1LL;  // saturate; "%d" of a huge number is undefined
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<long>(value);
}

bool ReadYes(const std::string& text) {
    const std::string u = UpperAscii(Trim(text));
    return u == "YES" || u == "TRUE";
}

ParamValue ReadAnswer(const ParamAnswer& answer) {
    switch (answer.choice) {
        case ParamChoice::Text:
            return ParamValue::Text(answer.value);
        case ParamChoice::Number:
            return ParamValue::Number(ReadCInteger(answer.value).value_or(0));
        case ParamChoice::Boolean:
            return ParamValue::YesNo(ReadYes(answer.value));
        case ParamChoice::Auto:
            break;
    }
    const std::string u = UpperAscii(Trim(answer.value));
    if (u == "TRUE" || u == "YES") return ParamValue::YesNo(true);
    if (u == "FALSE" || u == "NO") return ParamValue::YesNo(false);
    const std::string trimmed = Trim(answer.value);
    size_t consumed = 0;
    const std::optional<long> number = ReadCInteger(trimmed, consumed);
    if (number && consumed == trimmed.size()) return ParamValue::Number(*number);
    return ParamValue::Text(answer.value);
}

ResolveResult ResolveParameter(const std::string& name, CParamSource& source, CParamAsker& asker,
                               CUserPrompt& prompt, ParamValue& value) {
    if (const auto stored = source.FindStored(name)) {
        switch (ParamTypeClass(stored->type)) {
            case kParamYesNo:
                value = ParamValue::YesNo(ReadYes(stored->value));
                return ResolveResult::Value;
            case kParamNumber:
                value = ParamValue::Number(ReadDecimal(stored->value));
                return ResolveResult::Value;
            case kParamText:
                value = ParamValue::Text(stored->value);
                return ResolveResult::Value;
            default:
                prompt.Message("Invalid parameter type", PromptIcon::Error);
                value = ParamValue::Null();
                return ResolveResult::NoValue;
        }
    }
    const std::string upper = UpperAscii(Trim(name));
    // Year first, so that comparing texts orders the dates.
    const std::string today = DateText(PackDate(), 5);
    if (upper == "TODAY") {
        value = ParamValue::Text(today);
        return ResolveResult::Value;
    }
    if (upper == "THIS YEAR" || upper == "THISYEAR") {
        value = ParamValue::Text(today.substr(0, 4));
        return ResolveResult::Value;
    }
    if (upper == "PATH") {
        value = ParamValue::Text(source.CurrentFolder());
        return ResolveResult::Value;
    }
    const std::string trimmedName = Trim(name);
    if (StartsWith(upper, "CURDISK") || StartsWith(upper, "CURFILE")) {
        const std::string column = Trim(trimmedName.substr(7));
        const auto current =
            StartsWith(upper, "CURDISK") ? source.CurrentDisk(column) : source.CurrentFile(column);
        if (current) {
            value = *current;
            return ResolveResult::Value;
        }
    }
    ParamAnswer answer;
    if (!asker.AskParameter(name, answer)) return ResolveResult::Cancelled;
    value = ReadAnswer(answer);
    if (answer.saveIntoDatabase) source.Store(name, answer.value, value.type);
    return ResolveResult::Value;
}

std::string ParameterName(const std::string& reported) {
    std::string name = reported;
    const size_t open = name.find('[');
    if (open != std::string::npos) name = name.substr(open + 1);
    const size_t close = name.find(']');
    if (close != std::string::npos) name.resize(close);
    return name;
}

}  // namespace tavik
