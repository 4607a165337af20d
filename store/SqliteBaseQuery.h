#pragma once
// What the SQLite datasets share: opening loads every row of a statement into
// the row cache through the connection; values pass between the caller (ANSI)
// and the rows (UTF-8 in UTF-8 mode); statements render values as SQL.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/DataSet.h"
#include "store/RowCache.h"

namespace pelvane {

class TSqliteDb;

class TSqliteBaseQuery : public TDataSet {
  public:
    explicit TSqliteBaseQuery(TSqliteDb* connection = nullptr);
    ~TSqliteBaseQuery() override;

    TSqliteDb* Connection() const { return connection_; }
    void SetConnection(TSqliteDb* connection);

    // The dataset's properties as the program sets them.
    bool AutoCommit = false;  // each change inside its own transaction
    bool TypeLess = false;    // every column a string field
    bool SQLCursor = true;    // wait pointer while rows load
    bool ReadOnly = false;
    int MaxResults = 0;           // " limit "; 0 adds nothing
    int StartResult = 0;          // " offset "; 0 adds nothing
    std::string TransactionType;  // of the transaction a delete starts with AutoCommit

    // Bookmark of the current stored row (-1 when none) and the move back to it.
    int Bookmark() const;
    void GotoBookmark(int bookmark);   // "Bookmark not found"
    int64_t RowIdAt(int index) const;  // rowid of a stored row

    // Text fields exactly, past the code page, in UTF-8 mode.
    std::wstring FieldWideText(const std::string& name) const override;
    void SetFieldWideText(const std::string& name, const std::wstring& text) override;

    // The text a value gets in an insert or update statement: null, or the
    // value in single quotes with quotes doubled; blob kinds add a
    // placeholder and their bytes to blobs. Text stays as stored (UTF-8).
    std::string FieldValueSQL(const TField& field, const Row& row, std::vector<std::string>& blobs) const;

  protected:
    virtual std::string OpenStatement() = 0;
    void InternalOpen() override;
    void InternalClose() override;
    int CachedRowCount() const override;
    const Row& CachedRow(int index) const override;
    Variant GetFieldData(const TField& field, const Row& row) const override;
    void SetFieldData(const TField& field, Row& row, const Variant& value) override;

    bool Utf8() const;  // text kept in UTF-8 (the connection's mode)
    TRowCache& Cache();
    TSqliteDb& CheckConnection();  // the connection, connected ("no database connection")
    // Joins lines, each followed by a carriage return and line feed.
    static std::string JoinLines(const std::vector<std::string>& lines);
    // " limit " MaxResults and " offset " StartResult, each when not 0; an
    // offset alone first turns MaxResults from 0 to -1 (no limit).
    std::vector<std::string> LimitClauses();

  private:
    friend class TSqliteDb;

    TSqliteDb* connection_ = nullptr;
    std::unique_ptr<TRowCache> cache_;
    Row fetchBuffer_;
    int rowIdColumn_ = -1;
    int64_t currentRowId_ = -1;
    struct Utf8Text;
    mutable bool utf8Text_ = false;  // values pass as UTF-8, not through the code page
};

}  // namespace pelvane
