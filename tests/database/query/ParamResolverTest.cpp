#include "database/query/ParamResolver.h"

#include <gtest/gtest.h>

#include <map>

#include "disk/TiDateTime.h"
#include "support/ScriptedPrompt.h"

namespace tavik {
namespace {

class FakeSource : public CParamSource {
public:
    std::map<std::string, Stored> stored;
    std::map<std::string, ParamValue> disk, file;
    std::vector<std::tuple<std::string, std::string, int32_t>> written;

    std::optional<Stored> FindStored(const std::string& name) override {
        auto it = stored.find(name);
        if (it == stored.end()) return std::nullopt;
        return it->second;
    }
    std::optional<ParamValue> CurrentDisk(const std::string& column) override {
        auto it = disk.find(column);
        if (it == disk.end()) return std::nullopt;
        return it->second;
    }
    std::optional<ParamValue> CurrentFile(const std::string& column) override {
        auto it = file.find(column);
        if (it == file.end()) return std::nullopt;
        return it->second;
    }
    std::string CurrentFolder() override { return "/home/ti/disks"; }
    void Store(const std::string& name, const std::string& value, int32_t type) override {
        written.emplace_back(name, value, type);
    }
};

class ScriptedAsker : public CParamAsker {
public:
    std::vector<ParamAnswer> answers;  // empty: Cancel
    std::vector<std::string> asked;
    bool AskParameter(const std::string& name, ParamAnswer& answer) override {
        asked.push_back(name);
        if (answers.empty()) return false;
        answer = answers.front();
        answers.erase(answers.begin());
        return true;
    }
};

class ParamResolverTest : public testing::Test {
protected:
    void SetUp() override {
        static const LocalTime fixed{2026, 12, 8, 9, 30, 0};
        SetClockForTesting(&fixed);
    }
    void TearDown() override { SetClockForTesting(nullptr); }

    ResolveResult Resolve(const std::string& name) {
        return ResolveParameter(name, source, asker, prompt, value);
    }
    FakeSource source;
    ScriptedAsker asker;
    test::CScriptedPrompt prompt;
    ParamValue value;
};

TEST_F(ParamResolverTest, StoredRowsGiveTheirTypeClass) {
    source.stored["Flag"] = {1, " true "};
    source.stored["Short"] = {2, "-17 sectors"};
    source.stored["Limit"] = {4, "360"};
    source.stored["Name"] = {10, " ARCHIVER "};
    source.stored["Odd"] = {3, "1"};
    source.stored["Today"] = {10, "stored wins"};

    ASSERT_EQ(Resolve("Flag"), ResolveResult::Value);
    EXPECT_EQ(value.type, kParamYesNo);
    EXPECT_TRUE(value.yes);
    ASSERT_EQ(Resolve("Short"), ResolveResult::Value);
    EXPECT_EQ(value.number, -17);
    ASSERT_EQ(Resolve("Limit"), ResolveResult::Value);
    EXPECT_EQ(value.number, 360);
    ASSERT_EQ(Resolve("Name"), ResolveResult::Value);
    EXPECT_EQ(value.text, " ARCHIVER ");
    ASSERT_EQ(Resolve("Today"), ResolveResult::Value);
    EXPECT_EQ(value.text, "stored wins");
    EXPECT_TRUE(prompt.messages.empty());

    EXPECT_EQ(Resolve("Odd"), ResolveResult::NoValue);
    EXPECT_TRUE(value.null);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Invalid parameter type"}));
    EXPECT_TRUE(asker.asked.empty());
}

TEST_F(ParamResolverTest, BuiltInNamesNeedNoDialog) {
    ASSERT_EQ(Resolve("Today"), ResolveResult::Value);
    EXPECT_EQ(value.text, DateText(PackDate(8, 12, 2026), 5));
    EXPECT_EQ(value.text.substr(0, 4), "2026");
    ASSERT_EQ(Resolve("this year"), ResolveResult::Value);
    EXPECT_EQ(value.text, "2026");
    ASSERT_EQ(Resolve("THISYEAR"), ResolveResult::Value);
    EXPECT_EQ(value.text, "2026");
    ASSERT_EQ(Resolve("Path"), ResolveResult::Value);
    EXPECT_EQ(value.text, "/home/ti/disks");

    source.disk["CRC-S"] = ParamValue::Text("0BADF00D");
    source.file["ID"] = ParamValue::Number(42);
    ASSERT_EQ(Resolve("CurDisk CRC-S"), ResolveResult::Value);
    EXPECT_EQ(value.text, "0BADF00D");
    ASSERT_EQ(Resolve("curfile   ID "), ResolveResult::Value);
    EXPECT_EQ(value.number, 42);
    EXPECT_TRUE(asker.asked.empty());
}

TEST_F(ParamResolverTest, UnknownNamesAskAndCanBeSaved) {
    struct Row {
        const char* typed;
        ParamChoice choice;
        int32_t type;
        bool yes;
        long number;
        const char* text;
    };
    const Row rows[] = {
        {"yes", ParamChoice::Auto, kParamYesNo, true, 0, ""},
        {" No", ParamChoice::Auto, kParamYesNo, false, 0, ""},
        {"0x20", ParamChoice::Auto, kParamNumber, false, 32, ""},
        {"12abc", ParamChoice::Auto, kParamText, false, 0, "12abc"},
        {"12", ParamChoice::Text, kParamText, false, 0, "12"},
        {"010", ParamChoice::Number, kParamNumber, false, 8, ""},
        {"many", ParamChoice::Number, kParamNumber, false, 0, ""},
        {" true", ParamChoice::Boolean, kParamYesNo, true, 0, ""},
        {"maybe", ParamChoice::Boolean, kParamYesNo, false, 0, ""},
    };
    for (const Row& r : rows) {
        asker.answers = {ParamAnswer{r.typed, r.choice}};
        ASSERT_EQ(Resolve("Mystery"), ResolveResult::Value) << r.typed;
        EXPECT_EQ(value.type, r.type) << r.typed;
        EXPECT_EQ(value.yes, r.yes) << r.typed;
        EXPECT_EQ(value.number, r.number) << r.typed;
        EXPECT_EQ(value.text, r.text) << r.typed;
    }
    EXPECT_TRUE(source.written.empty());

    asker.answers = {{"77", ParamChoice::Auto, true}};
    ASSERT_EQ(Resolve("Max size"), ResolveResult::Value);
    ASSERT_EQ(source.written.size(), 1u);
    EXPECT_EQ(source.written[0],
              std::make_tuple(std::string("Max size"), std::string("77"), int32_t{kParamNumber}));

    // A CurDisk name whose column does not exist asks too; Cancel abandons.
    EXPECT_EQ(Resolve("CurDisk Colour"), ResolveResult::Cancelled);
    EXPECT_EQ(asker.asked.back(), "CurDisk Colour");
}

TEST(ParamResolver, ReadingHelpers) {
    EXPECT_EQ(ReadDecimal("  42x"), 42);
    EXPECT_EQ(ReadDecimal("x"), 0);
    EXPECT_EQ(ReadDecimal("0x10"), 0);
    EXPECT_EQ(ReadDecimal("99999999999"), 2147483647);
    EXPECT_EQ(ReadDecimal("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(ParameterName("[CurDisk ID]"), "CurDisk ID");
    EXPECT_EQ(ParameterName("Limit"), "Limit");
    EXPECT_EQ(ParamTypeClass(2), kParamNumber);
    for (int bad : {0, 3, 5, 9, 11, -1})
        EXPECT_EQ(ParamTypeClass(bad), 0) << bad;
}

}  // namespace
}  // namespace tavik
