// Arbitrary text through the Jet dialect: the translator, the criteria translator and LIKE must
// neither crash nor hang, and whatever they accept is run on a small in-memory catalogue.
#include <cstddef>
#include <cstdint>
#include <string>

#include "database/Database.h"
#include "database/JetFunctions.h"
#include "database/JetSql.h"
#include "database/RecordSet.h"
#include "database/Schema.h"

namespace {

tavik::CDatabase& Catalogue() {
    static tavik::CDatabase* db = [] {
        auto* d = new tavik::CDatabase();
        if (d->Create(":memory:") && tavik::CreateCatalogueTables(*d)) {
            d->Execute(
                "INSERT INTO [Disks] ([Disk name], [Size], [DS]) VALUES (\"GAMES\", 360, YES)");
            d->Execute(
                "INSERT INTO [Files] ([File name], [Type], [CRC]) VALUES (\"LOAD\", \"PROG\", "
                "\"AB\")");
            d->Execute("INSERT INTO [DiskFileMM] ([DiskID], [FileID]) VALUES (1, 1)");
        }
        return d;
    }();
    return *db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    tavik::CDatabase& db = Catalogue();

    tavik::JetTranslation criteria = tavik::TranslateJetCriteria(text, db, "Disks");
    (void)criteria;
    const size_t cut = text.find('\n');
    if (cut != std::string::npos) tavik::JetLikeMatch(text.substr(0, cut), text.substr(cut + 1));

    tavik::CQueryDef def;
    if (!db.IsOpen() || !db.CreateQueryDef(text, def)) return 0;
    for (size_t i = 0; i < def.Parameters().size(); ++i)
        def.SetParameter(i, i % 2 ? tavik::CDbValue::Text("*A?") : tavik::CDbValue::Integer(1));
    // Whatever a statement changes is undone.
    tavik::CTransaction undone(db);
    if (!undone.Started()) return 0;
    if (def.IsQuery()) {
        tavik::CRecordSet set(&db);
        if (set.Open(def)) {
            set.FindFirst(text);
            for (; !set.IsEOF(); set.MoveNext())
                set.GetFieldValue(0);
        }
    } else {
        db.Execute(def);
    }
    return 0;
}
