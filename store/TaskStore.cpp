#include "store/TaskStore.h"

#include <windows.h>

#include "common/ProgramFiles.h"
#include "common/Seged.h"
#include "store/TaskTable.h"

namespace pelvane {
namespace {

// The column of the id rule's query: the highest stored id.
std::string HighestIdColumn() {
    return std::string("max") + kTaskIdField;
}

}  // namespace

TaskStore::TaskStore(const std::wstring& programDir) {
    Db1.SetDefaultExt(L".sqb");
    SetProgramDir(programDir);

    Tbl.SetTableName(kTaskTableName);
    Tbl.AddField(kTaskIdField, FieldKind::Integer);
    Tbl.AddField(kSourceField, FieldKind::String, kFolderFieldSize, "forrás");
    Tbl.AddField(kTargetField, FieldKind::String, kFolderFieldSize, "cél");
    Tbl.BeforePost = [this](TDataSet& dataSet) { TblBeforePost(dataSet); };

    Qry.SetSQL(std::string("SELECT MAX(") + kTaskIdField + ") AS " + HighestIdColumn() + " FROM " +
               kTaskTableName + ";");
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
    if (VariantToInt(dataSet.FieldValue(kTaskIdField)) != 0) return;
    Qry.Open();
    struct CloseAfter {
        TSqliteQuery& query;
        ~CloseAfter() { query.Close(); }
    } closeAfter{Qry};
    const int64_t highest = VariantToInt(Qry.FieldValue(HighestIdColumn()));
    dataSet.SetFieldValue(kTaskIdField, static_cast<int32_t>(static_cast<uint32_t>(highest + 1)));
}

void TaskStore::DeleteCurrentTask() {
    if (Tbl.RecordCount() > 0) Tbl.Delete();
}

int32_t TaskStore::AddTask(const std::wstring& source, const std::wstring& target) {
    Tbl.Open();
    Tbl.Append();
    try {
        Tbl.SetFieldWideText(kSourceField, source);
        Tbl.SetFieldWideText(kTargetField, target);
        Tbl.Post();
    } catch (...) {
        Tbl.Cancel();
        throw;
    }
    return VariantToInt(Tbl.FieldValue(kTaskIdField));
}

bool TaskStore::RemoveTask(int32_t id) {
    Tbl.Open();
    for (Tbl.First(); !Tbl.Eof(); Tbl.Next()) {
        if (!IsNull(Tbl.FieldValue(kTaskIdField)) && VariantToInt(Tbl.FieldValue(kTaskIdField)) == id) {
            Tbl.Delete();
            return true;
        }
    }
    return false;
}

}  // namespace pelvane
