// Parameters of catalogue statements on the command line, resolved as the desktop program
// resolves them: values given on the command line as NAME=VALUE come first, then the Params
// table and the names every catalogue knows (Today, This year, Path, ...); what is still
// missing is asked for on the terminal, or, without one, refuses the statement by name.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "database/query/CatalogueParams.h"

namespace tavik::cli {

class CCommandLineParams : public CCatalogueParams {
public:
    // `pairs` are NAME=VALUE words; a word without "=" is no pair (false from Read()).
    CCommandLineParams(CCatalogue& catalogue, const std::vector<std::string>& pairs);
    bool Read(std::string& badWord) const;

    std::optional<Stored> FindStored(const std::string& name) override;

private:
    std::vector<std::string> m_pairs;
    std::map<std::string, std::string> m_values;  // by upper-cased name
};

class CTerminalAsker : public CParamAsker {
public:
    CTerminalAsker(std::istream& in, std::ostream& err, bool terminal)
        : m_in(in), m_err(err), m_terminal(terminal) {}
    bool AskParameter(const std::string& name, ParamAnswer& answer) override;

private:
    std::istream& m_in;
    std::ostream& m_err;
    bool m_terminal;
};

}  // namespace tavik::cli
