// Gives a value to each bracketed name of a statement that is no column (a parameter): from the
// catalogue's Params table, from the built-in names (Today, This year, Path, CurDisk ...,
// CurFile ...), or by asking the user. What the resolver reads and whom it asks are small
// interfaces, so that the rules can be used without a database or a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/UserPrompt.h"

namespace tavik {

// Type codes of Params.Type and of values read for parameters.
enum ParamType : int32_t { kParamYesNo = 1, kParamNumber = 4, kParamText = 10 };

// The class of a stored Type: 1 yes/no; 2 and 4 number; 10 text; anything else invalid (0).
int32_t ParamTypeClass(int32_t type);

struct ParamValue {
    int32_t type = kParamText;  // kParamYesNo, kParamNumber or kParamText
    bool null = false;
    bool yes = false;
    long number = 0;
    std::string text;

    static ParamValue YesNo(bool v);
    static ParamValue Number(long v);
    static ParamValue Text(std::string v);
    static ParamValue Null();
};

// "%d" reading: leading blanks, a sign, decimal digits; 0 when there are none.
long ReadDecimal(const std::string& text);
// True when the upper-cased, trimmed text is "YES" or "TRUE".
bool ReadYes(const std::string& text);

enum class ParamChoice { Auto, Text, Number, Boolean };

// The "Parameter not found" dialog's answer.
struct ParamAnswer {
    std::string value;
    ParamChoice choice = ParamChoice::Auto;
    bool saveIntoDatabase = false;
};

// The value a typed answer gives.
ParamValue ReadAnswer(const ParamAnswer& answer);

class CParamAsker {
public:
    virtual ~CParamAsker() = default;
    // "Enter value for parameter:" with the name; false for Cancel.
    virtual bool AskParameter(const std::string& name, ParamAnswer& answer) = 0;
};

// What the resolver reads and writes.
class CParamSource {
public:
    virtual ~CParamSource() = default;
    struct Stored {
        int32_t type = 0;
        std::string value;
    };
    // The Params row of that name.
    virtual std::optional<Stored> FindStored(const std::string& name) = 0;
    // The column of the current disk (file) row; nothing when there is no current row or no
    // such column.
    virtual std::optional<ParamValue> CurrentDisk(const std::string& column) = 0;
    virtual std::optional<ParamValue> CurrentFile(const std::string& column) = 0;
    virtual std::string CurrentFolder() = 0;
    // Writes a Params row ("Save into database").
    virtual void Store(const std::string& name, const std::string& value, int32_t type) = 0;
};

enum class ResolveResult { Value, NoValue, Cancelled };

// Resolves one parameter. NoValue: a stored row of an invalid type ("Invalid parameter type"
// was shown); the statement then runs with a null there.
ResolveResult ResolveParameter(const std::string& name, CParamSource& source, CParamAsker& asker,
                               CUserPrompt& prompt, ParamValue& value);

// The name of a parameter the engine reports, taken after any "[" and up to any "]".
std::string ParameterName(const std::string& reported);

}  // namespace tavik
