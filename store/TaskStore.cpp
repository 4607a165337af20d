#include "store/TaskStore.h"

#include <windows.h>

#include "common/ProgramFiles.h"
#include "common/Seged.h"

namespace pelvane {

TaskStore::TaskStore(const std::wstring& programDir) {
    Db1.SetDefaultExt(L".sqb");
    SetProgramDir(programDir);

    Tbl.SetTableName("feladat");
    Tbl.AddField("feladat", FieldKind::Integer);
    Tbl.AddField("forras", FieldKind::String, 255, "forrás");
    Tbl.AddField("cel", FieldKind::String, 255, "cél");
    Tbl.BeforePost = [this](TDataSet& dataSet) { TblBeforePost(dataSet); };

    Qry.SetSQL("SELECT MAX(feladat) AS maxfeladat FROM feladat;");
}

void TaskStore::SetProgramDir(const std::wstring& programDir) {
    Db1.SetDriverDLL(SqliteLibraryPath(programDir));
    Db1.SetDefaultDir(programDir);
    Db1.SetDatabase(kDatabaseFileName);
}

void TaskStore::SetDatabaseFile(const std::wstring& path) {
    // The full path however long; the buffer grows until it fits.
    std::wstring full(MAX_PATH + 1, L'\0');
    wchar_t* name = nullptr;
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &name);
    if (n >= full.size()) {
        full.assign(n + 1, L'\0');
        n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &name);
    }
    if (n == 0 || n >= full.size() || !name) {
        Db1.SetDefaultDir({});
        Db1.SetDatabase(path);
        return;
    }
    const size_t folder = static_cast<size_t>(name - full.data());
    Db1.SetDefaultDir(full.substr(0, folder));
    Db1.SetDatabase(full.substr(folder, n - folder));
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
