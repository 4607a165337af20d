#include "store/SqliteTable.h"

#include <algorithm>

#include "common/Seged.h"
#include "common/Text.h"
#include "store/SqliteDb.h"

namespace pelvane {
namespace {

// With AutoCommit a change runs in a transaction of its own: begun by begin,
// committed after the change, rolled back when anything in it fails.
template <typename Begin, typename Change>
void InOwnTransaction(TSqliteDb& db, bool autoCommit, Begin begin, Change change) {
    if (autoCommit) begin();
    try {
        change();
        if (autoCommit) db.Commit();
    } catch (...) {
        if (autoCommit && db.InTransaction()) {
            try {
                db.RollBack();
            } catch (...) {
            }
        }
        throw;
    }
}

}  // namespace

void TSqliteTable::SetTableName(const std::string& name) {
    Close();
    tableName_ = name;
}

void TSqliteTable::InspectTable() {
    rowIdName_ = "rowid";
    rowIdField_.clear();
    std::vector<std::string> names;
    std::string keyColumn, keyType;
    int keyColumns = 0;
    for (const TSqliteDb::ColumnInfo& column : CheckConnection().TableColumns(tableName_)) {
        names.push_back(AsciiLower(column.name));
        if (column.primaryKey) {
            ++keyColumns;
            keyColumn = column.name;
            keyType = AsciiLower(column.type);
        }
    }
    // SQLite makes a lone primary key column declared exactly "integer" the rowid itself.
    if (keyColumns == 1 && keyType == "integer") rowIdField_ = keyColumn;
    auto taken = [&](const char* name) { return std::find(names.begin(), names.end(), name) != names.end(); };
    for (const char* name : {"rowid", "_rowid_", "oid"}) {
        if (!taken(name)) {
            rowIdName_ = name;
            return;
        }
    }
    if (!rowIdField_.empty()) {
        rowIdName_ = rowIdField_;
        return;
    }
    throw EDatabaseError("Table " + tableName_ +
                         " has columns named rowid, _rowid_ and oid: its rows cannot be addressed");
}

[[noreturn]] void TSqliteTable::RowChanged(int64_t rowId, const char* change) const {
    throw ERowChanged("Row changed or deleted by another program in " + tableName_ + " (rowid " +
                      std::to_string(rowId) + "): nothing was " + change);
}

// Without AUTOINCREMENT SQLite gives the rowid of a deleted row to the next
// row inserted, so the rowid alone may name another task than the one read.
// Each field is compared as loading turned the stored value into the read
// one; kinds the task table does not use are not compared.
std::string TSqliteTable::WhereUnchanged(int64_t rowId, const Row& read) const {
    const bool utf8 = Utf8();
    std::string where = " where " + rowIdName_ + "='" + std::to_string(rowId) + "'";
    std::vector<std::string> blobs;
    for (const TField& field : Fields()) {
        if (field.column < 0 || field.column >= static_cast<int>(read.size())) continue;
        const std::string column = utf8 ? AnsiToUtf8(field.name) : field.name;
        const Variant& value = read[field.column];
        if (IsNull(value)) {
            where += " and " + column + " is null";
        } else if (field.kind == FieldKind::Integer) {
            // Loading reads a real as its whole part and a value outside 32 bits as 0.
            const std::string integer = "cast(" + column + " as integer)";
            where += " and (case when " + integer + " between -2147483648 and 2147483647 then " + integer +
                     " else 0 end) is " + std::to_string(VariantToInt(value));
        } else if (IsTextKind(field.kind)) {
            const std::string text = "cast(" + column + " as text)";
            const std::string literal = FieldValueSQL(field, read, blobs);
            std::string match = text + " is " + literal;
            // Text longer than the field was cut at a character when it was
            // read: the stored one is longer and starts with it.
            const std::string& held = std::get<std::string>(value);
            const int size = FieldDefs().at(field.column).size;
            if (field.kind == FieldKind::String && size > 0 && held.size() + 4 > static_cast<size_t>(size)) {
                size_t chars = held.size();
                if (utf8)
                    for (char c : held) chars -= (static_cast<unsigned char>(c) & 0xC0) == 0x80;
                const std::string n = std::to_string(chars);
                match = "(" + match + " or (length(" + text + ") > " + n + " and substr(" + text + ", 1, " +
                        n + ") is " + literal + "))";
            }
            where += " and " + match;
        }
    }
    return where;
}

std::string TSqliteTable::OpenStatement() {
    if (tableName_.empty()) throw ESqliteError("no table specified");
    InspectTable();
    std::vector<std::string> lines{"select *, " + rowIdName_ + " as rowid from " + tableName_};
    for (std::string& clause : LimitClauses()) lines.push_back(std::move(clause));
    if (!OrderBy.empty()) lines.push_back(" order by (" + OrderBy + ")");
    return Trim(JoinLines(lines));
}

void TSqliteTable::InternalPost() {
    if (ReadOnly) throw ESqliteError("Cannot post into a read-only dataset");
    const Row& record = EditRow();
    for (const TField& field : Fields())
        if (field.required && IsNull(TDataSet::GetFieldData(field, record)))
            throw EDatabaseError(field.DisplayName() + " is required.");

    TSqliteDb& db = CheckConnection();
    InOwnTransaction(
        db, AutoCommit, [&] { db.StartTransaction(); },
        [&] {
            // Stored text is already UTF-8: the statement is built in UTF-8 so that
            // characters outside the ANSI code page survive an update unchanged.
            const bool utf8 = db.Utf8Mode();
            auto sqlText = [utf8](const std::string& ansi) { return utf8 ? AnsiToUtf8(ansi) : ansi; };
            std::vector<std::string> blobs;
            const std::string table = sqlText(TableName());
            if (State() == DataSetState::Edit && Cache().Count() > 0) {
                const int index = CursorIndex();
                const int64_t rowId = Cache().GetRowId(index);
                std::string values;
                for (const TField& field : Fields())
                    values += sqlText(field.name) + "=" + FieldValueSQL(field, record, blobs) + ",";
                if (!values.empty()) values.back() = ' ';
                db.ExecuteStatement(JoinLines({"update " + table + " set ", values,
                                               WhereUnchanged(rowId, Cache().GetData(index))}),
                                    &blobs, true);
                // A row that another program changed or deleted must not pass as stored.
                if (db.RowsAffected() == 0) RowChanged(rowId, "updated");
                Cache().SetData(index, record);
                // Writing the rowid's own column moves the row to that rowid.
                const int keyField = rowIdField_.empty() ? -1 : FieldIndex(rowIdField_);
                if (keyField >= 0) {
                    const Variant key = TDataSet::GetFieldData(Fields()[keyField], record);
                    if (!IsNull(key)) Cache().SetRowId(index, VariantToInt(key));
                }
            } else {
                std::string names, values;
                const std::vector<TField>& fields = Fields();
                const bool autoInc =
                    PrimaryAutoInc && !fields.empty() && fields[0].kind == FieldKind::Integer;
                for (const TField& field : fields) names += sqlText(field.name) + ",";
                if (!names.empty()) names.back() = ')';
                names += " values (";
                if (autoInc) values = "null,";
                for (size_t i = autoInc ? 1 : 0; i < fields.size(); ++i)
                    values += FieldValueSQL(fields[i], record, blobs) + ",";
                if (!values.empty()) values.back() = ')';
                db.ExecuteStatement(JoinLines({"insert into " + table + " (", names, values}), &blobs, true);
                const int64_t rowId = db.LastInsertRowId();
                Row stored = record;
                if (autoInc && fields[0].column >= 0) stored[fields[0].column] = static_cast<int32_t>(rowId);
                int index = CursorIndex();
                if (Cache().Count() == 0) ++index;
                SetCursorIndex(Cache().Insert(index, std::move(stored), rowId));
            }
        });
}

void TSqliteTable::InternalDelete() {
    if (ReadOnly) throw ESqliteError("Cannot delete from a read-only dataset");
    TSqliteDb& db = CheckConnection();
    InOwnTransaction(
        db, AutoCommit, [&] { db.StartTransactionOfType(TransactionType); },
        [&] {
            const int index = CursorIndex();
            const int64_t rowId = Cache().GetRowId(index);
            // As a statement that changes rows: a busy file is waited for as an update waits.
            const std::string table = Utf8() ? AnsiToUtf8(TableName()) : TableName();
            db.ExecuteStatement(
                "delete from " + table + WhereUnchanged(rowId, Cache().GetData(index)) + "\r\n", nullptr,
                true);
            if (db.RowsAffected() == 0) RowChanged(rowId, "deleted");
            Cache().Delete(index);
            if (CursorIndex() >= Cache().Count()) SetCursorIndex(CursorIndex() - 1);
        });
}

}  // namespace pelvane
