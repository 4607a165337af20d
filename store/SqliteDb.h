#pragma once
// The connection to one SQLite database file, with the library bound at run
// time from DriverDLL. All SQL of the program passes through it; every
// failure is an ESqliteError (the layer's own) or an EDatabaseError carrying
// SQLite's text.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "store/DataSet.h"
#include "store/SqliteApi.h"
#include "store/SqliteStatement.h"
#include "store/StoreErrors.h"

namespace pelvane {

class TSqliteBaseQuery;

// Field kind, size and precision for a declared column type ("varchar(255)",
// "integer", ...; empty for an expression column).
FieldDef GetFieldInfo(const std::string& declaredType);

// Cuts s to at most maxBytes without splitting a UTF-8 sequence.
void CutUtf8(std::string& s, size_t maxBytes);

class TSqliteDb {
  public:
    using Event = std::function<void(TSqliteDb&)>;

    TSqliteDb() = default;
    TSqliteDb(const TSqliteDb&) = delete;
    TSqliteDb& operator=(const TSqliteDb&) = delete;
    ~TSqliteDb();

    // The file name, or ":memory:". Blanks are trimmed; a name without an
    // extension gets DefaultExt. The file, its folder and the library are
    // named by their true (wide) names: any of them may lie outside the code
    // page; the messages show them in it.
    const std::wstring& Database() const { return database_; }
    void SetDatabase(const std::wstring& name);
    const std::wstring& DefaultDir() const { return defaultDir_; }
    void SetDefaultDir(const std::wstring& dir) { defaultDir_ = dir; }
    const std::wstring& DefaultExt();  // empty reads as (and becomes) ".sqb"
    void SetDefaultExt(const std::wstring& ext) { defaultExt_ = ext; }
    const std::wstring& DriverDLL();  // empty reads as (and becomes) "SQLite3.dll"
    void SetDriverDLL(const std::wstring& path) { driverDll_ = path; }
    bool MustExist() const { return mustExist_; }
    void SetMustExist(bool value) { mustExist_ = value; }
    int TimeOut() const { return timeOut_; }
    void SetTimeOut(int milliseconds);
    const std::string& CharacterEncoding() const { return characterEncoding_; }
    void SetCharacterEncoding(const std::string& encoding) { characterEncoding_ = encoding; }
    const std::string& TransactionType() const { return transactionType_; }
    void SetTransactionType(const std::string& type) { transactionType_ = type; }
    const std::string& Version() const { return version_; }  // the library's, after a connect
    bool Connected() const { return connected_; }
    void SetConnected(bool connected);
    bool Utf8Mode() const { return utf8_; }  // fixed at connect
    bool InTransaction() const { return inTransaction_; }

    Event BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;
    Event OnBusy;  // fetching met a busy database; the fetch then ends without error
    // Sees every SQL text as it goes to SQLite (converted, placeholders set).
    std::function<void(const std::string& sql)> OnTrace;

    // Runs every statement of the text, discarding rows. blobs[n-1] is bound
    // to parameter n of each statement. textIsUtf8: the caller already built
    // the text in UTF-8 (the datasets do, so stored text is not re-encoded).
    void ExecuteStatement(const std::string& sql, const std::vector<std::string>* blobs = nullptr,
                          bool textIsUtf8 = false);
    void LoadRows(TSqliteBaseQuery& dataset, const std::string& sql);
    // The first statement of the text, its result columns made the dataset's
    // field definitions; an empty owner for a text without a statement.
    SqliteStatement PrepareResult(const std::string& sql, TSqliteBaseQuery& dataset);
    const Row* FetchRow(const SqliteStatement& statement, TSqliteBaseQuery& dataset);  // nullptr at the end
    // Resets and finalizes; a finalize that fails raises "SQLiteExecute error: <code>".
    void CloseResult(SqliteStatement statement);

    void StartTransaction();
    void StartTransactionOfType(const std::string& type = {});
    void Commit();
    void RollBack();
    int RowsAffected();  // -1 when not connected
    int64_t LastInsertRowId();

    // The columns of a table as SQLite declares them (pragma table_info);
    // empty for a missing table, or when the file is busy.
    struct ColumnInfo {
        std::string name, type;
        bool primaryKey = false;
    };
    std::vector<ColumnInfo> TableColumns(const std::string& table);

    // The path the file is opened at, by the path rules (may throw for MustExist).
    std::wstring DatabasePath();

  private:
    friend class TSqliteBaseQuery;

    void Connect();
    void Disconnect();
    void LoadLibs();
    void CheckConnected();
    std::string PrepareText(const std::string& sql, bool textIsUtf8) const;
    // Every result code SQLite returns passes here: anything but SQLITE_OK
    // raises EDatabaseError with the library's current error text and the code.
    void Check(int resultCode);
    // Prepares the statement at text; tail (when given) gets what follows it.
    SqliteStatement Prepare(const char* text, const char** tail = nullptr);
    int Finalize(SqliteStatement& statement);  // its result code
    // The code that names why a step failed.
    int StepFailure(sqlite3_stmt* statement, int stepCode);
    // Binds the blobs and steps a change statement until it is done or fails.
    void StepToEnd(sqlite3_stmt* statement, const std::vector<std::string>* blobs);
    void TransactionStatement(const char* sql, bool inTransaction);
    void Attach(TSqliteBaseQuery* dataset);
    void Detach(TSqliteBaseQuery* dataset);

    std::wstring database_, defaultDir_, defaultExt_, driverDll_;
    std::string characterEncoding_, transactionType_, version_;
    bool mustExist_ = false;
    int timeOut_ = 0;

    ModuleHandle library_;
    SqliteApi api_;
    sqlite3* db_ = nullptr;
    bool connected_ = false;
    bool utf8_ = true;
    bool inTransaction_ = false;
    std::vector<TSqliteBaseQuery*> datasets_;  // closed at disconnect
};

}  // namespace pelvane
