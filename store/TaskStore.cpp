#include "store/TaskStore.h"

#include <windows.h>

#include "common/ProgramFiles.h"
#include "common/Seged.h"

namespace pelvane {

TaskStore::TaskStore(const std::string& programDir) {
    Db1.SetDefaultExt(".sqb");
    SetProgramDir(programDir);

    Tbl.SetTableName("feladat");
    Tbl.AddField("feladat", FieldKind::Integer);
    Tbl.AddField("forras", FieldKind::String, 255, "forrás");
    Tbl.AddField("cel", FieldKind::String, 255, "cél");
    Tbl.BeforePost = [this](TDataSet& dataSet) { TblBeforePost(dataSet); };

    Qry.SetSQL("SELECT MAX(feladat) AS maxfeladat FROM feladat;");
}

void TaskStore::SetProgramDir(const std::string& programDir) {
    Db1.SetDriverDLL(SqliteLibraryPath(programDir));
    Db1.SetDefaultDir(programDir);
    Db1.SetDatabase(kDatabaseFileName);
}

void TaskStore::SetDatabaseFile(const std::string& path) {
    char full[MAX_PATH + 1] = {};
    char* name = nullptr;
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, &name);
    if (n == 0 || n > MAX_PATH || !name) {
        Db1.SetDefaultDir({});
        Db1.SetDatabase(path);
        return;
    }
    Db1.SetDefaultDir(std::string(full, name - full));
    Db1.SetDatabase(name);
}

void TaskStore::TblBeforePost(TDataSet& dataSet) {
    if (VariantToInt(dataSet.FieldValue("feladat")) != 0) return;
    Qry.Open();
    struct CloseAfter {
        TSqliteQuery& query;
        ~CloseAfter() { query.Close(); }
    } closeAfter{Qry};
    const int64_t highest = VariantToInt(Qry.FieldValue("maxfeladat"));
    dataSet.SetFieldValue("feladat", static_cast<int32_t>(static_cast<uint32_t>(highest + 1)));
}

void TaskStore::DeleteCurrentTask() {
    if (Tbl.RecordCount() > 0) Tbl.Delete();
}

int32_t TaskStore::AddTask(const std::wstring& source, const std::wstring& target) {
    Tbl.Open();
    Tbl.Append();
    try {
        Tbl.SetFieldWideText("forras", source);
        Tbl.SetFieldWideText("cel", target);
        Tbl.Post();
    } catch (...) {
        Tbl.Cancel();
        throw;
    }
    return VariantToInt(Tbl.FieldValue("feladat"));
}

bool TaskStore::RemoveTask(int32_t id) {
    Tbl.Open();
    for (Tbl.First(); !Tbl.Eof(); Tbl.Next()) {
        if (!IsNull(Tbl.FieldValue("feladat")) && VariantToInt(Tbl.FieldValue("feladat")) == id) {
            Tbl.Delete();
            return true;
        }
    }
    return false;
}

}  // namespace pelvane
