// A small catalogue whose answers are known, for running queries, exports and merges on.
//   disks: ALPHA 720 DS, BRAVO 360, CHARLIE 1440 DS, DELTA 720 (the sector checksum of ALPHA)
//   files: LOADER PROGRAM 33 on ALPHA and BRAVO, README DIS/VAR 80 5 on ALPHA,
//          DATA INT/FIX 12 on CHARLIE, GAME PROGRAM 50 on BRAVO
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "database/CatalogueFixture.h"
#include "database/query/ParamResolver.h"

namespace tavik::test {

class ScriptedAsker : public CParamAsker {
public:
    std::vector<ParamAnswer> answers;  // when used up: Cancel
    std::vector<std::string> asked;
    bool AskParameter(const std::string& name, ParamAnswer& answer) override {
        asked.push_back(name);
        if (answers.empty()) return false;
        answer = answers.front();
        answers.erase(answers.begin());
        return true;
    }
};

class QueryCatalogue : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        alpha = AddDisk("ALPHA", 720, true, "AAAA0001");
        bravo = AddDisk("BRAVO", 360, false, "BBBB0002");
        charlie = AddDisk("CHARLIE", 1440, true, "CCCC0003");
        delta = AddDisk("DELTA", 720, false, "AAAA0001");
        loader = AddFile("LOADER", "PROGRAM", 33, "F0000001");
        readme = AddFile("README", "DIS/VAR 80", 5, "F0000002");
        data = AddFile("DATA", "INT/FIX 12", 12, "F0000003");
        game = AddFile("GAME", "PROGRAM", 50, "F0000004");
        Link(alpha, loader);
        Link(bravo, loader);
        Link(alpha, readme);
        Link(charlie, data);
        Link(bravo, game);
    }

    // The names of the rows of a set, from the first to the last.
    static std::vector<std::string> RowNames(CRecordSet& set, const std::string& column) {
        std::vector<std::string> names;
        if (!set.IsOpen()) return names;
        for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
            std::string n = set.GetFieldValue(column).AsText();
            while (!n.empty() && n.back() == ' ')
                n.pop_back();
            names.push_back(n);
        }
        return names;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    }

    int alpha = 0, bravo = 0, charlie = 0, delta = 0;
    int loader = 0, readme = 0, data = 0, game = 0;
};

}  // namespace tavik::test
