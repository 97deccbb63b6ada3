#include "database/query/QueryStore.h"

#include <gtest/gtest.h>

#include "QueryCatalogue.h"
#include "app/QueryTree.h"
#include "database/QuerySet.h"

namespace tavik {
namespace {

using Names = std::vector<std::string>;

class QueryStoreTest : public test::QueryCatalogue {
protected:
    void SetUp() override {
        QueryCatalogue::SetUp();
        model.CreateRoots();
        access = std::make_unique<CTreeQueryAccess>(model, model.DatabaseRootItem());
    }
    QueryFields Node(QueryKind kind, const std::string& name, int32_t combination = 0) {
        QueryFields q;
        q.kind = static_cast<int32_t>(kind);
        q.name = name;
        q.predicate = "SELECT ALL ";
        q.where = "[Size] > 10";
        q.combination = combination;
        return q;
    }
    int32_t SavedId(const std::string& name) {
        CQuerySet set(&catalogue.Database());
        EXPECT_TRUE(set.Open("SELECT ALL * FROM [Queries] WHERE [Query name] = \"" + name + "\""));
        return set.IsEOF() ? 0 : set.m_ID.Value();
    }
    // The query names below the database root, each indented by its depth.
    Names Tree() {
        Names lines;
        std::function<void(CTreeItem*, std::string)> walk = [&](CTreeItem* item,
                                                                std::string indent) {
            for (int i = 0; i < item->ChildCount(); ++i) {
                CTreeItem* c = item->Child(i);
                if (!IsQueryKind(c->Kind())) continue;
                lines.push_back(indent + c->Text());
                walk(c, indent + " ");
            }
        };
        walk(model.DatabaseRootItem(), "");
        return lines;
    }
    CTreeModel model;
    std::unique_ptr<CTreeQueryAccess> access;
};

TEST_F(QueryStoreTest, SaveWritesEveryColumnAndAsksBeforeOverwriting) {
    QueryFields q = Node(QueryKind::Files, "Big", kFilesOnDisks);
    q.columns = {0x00640000, 3};
    q.joinOn.clear();
    ASSERT_EQ(SaveQuery(catalogue, q, "Double sided", false), SaveOutcome::Saved);
    EXPECT_EQ(prompt.messages, (Names{"Query saved in database"}));
    CQuerySet set(&catalogue.Database());
    ASSERT_TRUE(set.Open());
    ASSERT_EQ(set.GetRecordCount(), 1);
    EXPECT_EQ(set.m_From.Value(), "Files");
    EXPECT_EQ(set.m_Where.Value(), "[Size] > 10");
    EXPECT_EQ(set.m_ParentName.Value(), "Double sided");
    EXPECT_EQ(set.m_Columns.Value(), "00640000,00000003,");
    EXPECT_EQ(set.m_Combination.Value(), kFilesOnDisks);
    EXPECT_TRUE(set.m_JoinOn.IsNull());
    EXPECT_TRUE(set.m_SQL.IsNull());

    q.where = "[Size] > 20";
    prompt.answers = {PromptAnswer::Cancel};
    EXPECT_EQ(SaveQuery(catalogue, q, "", true), SaveOutcome::Cancelled);
    prompt.answers = {PromptAnswer::Ok};
    EXPECT_EQ(SaveQuery(catalogue, q, "", true), SaveOutcome::Saved);
    EXPECT_EQ(prompt.questions, (Names{"Query with same name already exists. Overwrite?",
                                       "Query with same name already exists. Overwrite?"}));
    EXPECT_EQ(Column("SELECT ALL [Where] FROM [Queries]"), (Names{"[Size] > 20"}));

    QueryFields sql;
    sql.kind = static_cast<int32_t>(QueryKind::Sql);
    sql.name = "All names";
    sql.sql = "SELECT [Disk name] FROM [Disks]";
    ASSERT_EQ(SaveQuery(catalogue, sql, "", true), SaveOutcome::Saved);
    EXPECT_EQ(Column("SELECT ALL [SQL], [From] FROM [Queries] WHERE [ID] = " +
                     std::to_string(SavedId("All names"))),
              (Names{"SELECT [Disk name] FROM [Disks]"}));
}

TEST_F(QueryStoreTest, LoadPlacesNodesUnderTheirParents) {
    ASSERT_EQ(SaveQuery(catalogue, Node(QueryKind::Disks, "Parent"), "", true), SaveOutcome::Saved);
    ASSERT_EQ(SaveQuery(catalogue, Node(QueryKind::Disks, "Child", kIntersect), "Parent", true),
              SaveOutcome::Saved);
    ASSERT_EQ(
        SaveQuery(catalogue, Node(QueryKind::Files, "Files of", kFilesOnDisks), "Parent", true),
        SaveOutcome::Saved);
    // A file query named like the parent is not taken for a disk query's intersection.
    access->Insert(nullptr, Node(QueryKind::Files, "Parent"), false);

    CTreeItem* selected = nullptr;
    access->onSelect = [&](CTreeItem* item) { selected = item; };
    auto child = LoadQuery(catalogue, SavedId("Child"), *access, nullptr, true);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(selected, CTreeQueryAccess::Item(child));
    EXPECT_EQ(Tree(), (Names{"Parent", "Parent", " Child"}));
    // The disk query "Parent" is in the tree now and takes the next child.
    ASSERT_NE(LoadQuery(catalogue, SavedId("Files of"), *access), nullptr);
    EXPECT_EQ(Tree(), (Names{"Parent", "Parent", " Child", " Files of"}));
    const auto chain = QueryChain(CTreeQueryAccess::Item(child));
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].combination, kIntersect);
    EXPECT_EQ(chain[1].name, "Parent");

    EXPECT_EQ(LoadQuery(catalogue, 9999, *access), nullptr);
}

TEST_F(QueryStoreTest, ParentChainsThatLoopEnd) {
    ASSERT_EQ(SaveQuery(catalogue, Node(QueryKind::Disks, "Egg", kIntersect), "Hen", true),
              SaveOutcome::Saved);
    ASSERT_EQ(SaveQuery(catalogue, Node(QueryKind::Disks, "Hen", kUnion), "Egg", true),
              SaveOutcome::Saved);
    ASSERT_NE(LoadQuery(catalogue, SavedId("Egg"), *access), nullptr);
    const Names tree = Tree();
    EXPECT_EQ(tree.size(), 17u);
    EXPECT_EQ(tree.back(), std::string(16, ' ') + "Egg");
}

TEST_F(QueryStoreTest, DeletingQueriesAndParameterListOperations) {
    ASSERT_EQ(SaveQuery(catalogue, Node(QueryKind::Disks, "One"), "", true), SaveOutcome::Saved);
    ASSERT_EQ(SaveQuery(catalogue, Node(QueryKind::Disks, "Two"), "", true), SaveOutcome::Saved);
    prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
    EXPECT_EQ(DeleteSavedQueries(catalogue, {SavedId("One"), SavedId("Two")}), 0);
    EXPECT_EQ(DeleteSavedQueries(catalogue, {SavedId("One"), 12345}), 1);
    EXPECT_EQ(prompt.questions.back(), "Remove 2 queries from database?");
    EXPECT_EQ(Column("SELECT ALL [Query name] FROM [Queries]"), (Names{"Two"}));

    EXPECT_TRUE(NewParameter(catalogue, "Limit", 2, "100"));
    EXPECT_FALSE(NewParameter(catalogue, "limit", 10));
    EXPECT_EQ(prompt.messages.back(), "A parameter with this name already exists.");
    EXPECT_TRUE(NewParameter(catalogue, "Owner \"Bob\"", 10, "Bob"));
    EXPECT_EQ(Column("SELECT ALL [Type] FROM [Params] ORDER BY [ID]"), (Names{"4", "10"}));

    const auto ids = Column("SELECT ALL [ID] FROM [Params] ORDER BY [ID]");
    const int32_t first = std::stoi(ids[0]);
    EXPECT_FALSE(SetParameterType(catalogue, first, "date"));
    EXPECT_EQ(prompt.messages.back(), "Illegal type. Must be TEXT, NUM or BOOL.");
    EXPECT_TRUE(SetParameterType(catalogue, first, "bool"));
    EXPECT_EQ(Column("SELECT ALL [Type] FROM [Params] ORDER BY [ID]"), (Names{"1", "10"}));
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(DeleteParameters(catalogue, {first, std::stoi(ids[1])}), 2);
    EXPECT_EQ(prompt.questions.back(), "Remove 2 parameters from database?");
    EXPECT_EQ(Count("Params"), 0);
}

}  // namespace
}  // namespace tavik
