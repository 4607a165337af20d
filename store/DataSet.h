#pragma once
// A small dataset core: a cursor over rows held in memory, the browse, edit
// and insert states, typed fields, and the edit/insert/post/cancel/delete
// protocol the task grid and the backup run rely on. The SQLite datasets fill
// in the Internal* steps; observers (the grid) hear of every change.
#include <functional>
#include <string>
#include <vector>

#include "common/Variant.h"
#include "store/StoreErrors.h"

namespace pelvane {

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class FieldKind {
    String,
    WideString,
    Integer,
    Float,
    Currency,
    Boolean,
    Date,
    Time,
    DateTime,
    TimeStamp,
    Memo,
    Blob,
    Graphic,
};

// String, wide string and memo: the kinds whose values are text.
bool IsTextKind(FieldKind kind);

// "String", "Integer", ...: the kind names used in type mismatch messages.
const char* FieldKindName(FieldKind kind);

// A column as the data delivers it.
struct FieldDef {
    std::string name;
    FieldKind kind = FieldKind::String;
    int size = 0;       // characters for text kinds; for other kinds only carried
    int precision = 0;  // float fields only
};

// A field of the dataset: declared by the owner before opening, or created
// from the field definitions when none is declared.
struct TField {
    std::string name;
    std::string displayLabel;  // empty: the name is shown
    FieldKind kind = FieldKind::String;
    int size = 0;
    bool visible = true;
    bool required = false;
    int column = -1;  // index of the bound column in a row; set at open

    const std::string& DisplayName() const { return displayLabel.empty() ? name : displayLabel; }
};

// One row: a value per column (not per field), null where SQL has NULL.
using Row = std::vector<Variant>;

// Told of every change of a dataset, so a grid can repaint what changed.
class DataSetObserver {
  public:
    virtual ~DataSetObserver() = default;
    virtual void DataSetChanged() {}  // opened, closed, a row inserted, posted as new, or deleted
    virtual void RecordChanged() {}   // a field of the current record changed, or an edit was posted
    virtual void StateChanged() {}    // State() changed
    virtual void Scrolled() {}        // the current row moved
};

class TDataSet {
  public:
    TDataSet() = default;
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;
    virtual ~TDataSet() = default;  // derived classes close themselves

    // Declared fields (before Open). A dataset without them gets one field per
    // column at open, dropped again at close.
    TField& AddField(const std::string& name, FieldKind kind, int size = 0,
                     const std::string& displayLabel = {});
    const std::vector<TField>& Fields() const { return fields_; }
    int FieldIndex(const std::string& name) const;             // -1 when there is none (ASCII case ignored)
    const TField& FieldByName(const std::string& name) const;  // "Field '%s' not found"
    const std::vector<FieldDef>& FieldDefs() const { return fieldDefs_; }

    void Open();
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    DataSetState State() const { return state_; }

    // Navigation. Each first stores or drops a pending edit (posted when
    // modified, cancelled when not), as the framework does on leaving a row.
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    int RecordCount() const;  // stored rows; 0 when closed; a new unposted row not counted
    int RecNo() const;        // 1-based position of the current stored row, 0 when none

    void Edit();    // on an empty dataset: Insert
    void Insert();  // a new row before the current one
    void Append();  // a new row after the last one
    void Cancel();
    void Post();    // BeforePost, then InternalPost; on failure the state and values stay
    void Delete();  // in insert state: Cancel
    bool Modified() const { return modified_; }

    // Values of the current record: the edited one in edit and insert state.
    Variant FieldValue(const std::string& name) const;
    std::string FieldText(const std::string& name) const;  // null reads as ""
    // Writing needs edit or insert state ("Dataset not in edit or insert mode").
    void SetFieldValue(const std::string& name, const Variant& value);
    void SetFieldText(const std::string& name, const std::string& text);  // "" -> null for non-text kinds
    // A text field in UTF-16, for names that the code page cannot hold (a
    // folder chosen or given outside it). Here through the code page; a
    // dataset that keeps Unicode text gives and takes it exactly.
    virtual std::wstring FieldWideText(const std::string& name) const;
    virtual void SetFieldWideText(const std::string& name, const std::wstring& text);

    std::function<void(TDataSet&)> BeforePost;

    // For a grid: rows as shown, the new unposted row included at its place.
    int RowCount() const;
    int ActiveRow() const;                              // -1 when there is no row
    void MoveTo(int row);                               // leaves the current row as navigation does
    std::string FieldTextAt(int row, int field) const;  // field = index into Fields(); no cursor move
    Variant FieldValueAt(int row, int field) const;

    void AddObserver(DataSetObserver* observer);
    void RemoveObserver(DataSetObserver* observer);

  protected:
    // Loads the rows and fills FieldDefs(); Close() drops them.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual int CachedRowCount() const = 0;
    virtual const Row& CachedRow(int index) const = 0;
    // Stores EditRow(): an update of the row at CursorIndex() in edit state, a
    // new row placed at CursorIndex() in insert state (which it adjusts so that
    // it names the new row afterwards).
    virtual void InternalPost() = 0;
    // Removes the row at CursorIndex() and keeps the index inside the rows.
    virtual void InternalDelete() = 0;
    // How a value passes between the caller and a row (conversions, cuts).
    virtual Variant GetFieldData(const TField& field, const Row& row) const;
    virtual void SetFieldData(const TField& field, Row& row, const Variant& value);

    std::vector<FieldDef>& MutableFieldDefs() { return fieldDefs_; }
    const Row& EditRow() const { return editRow_; }
    int CursorIndex() const { return cursor_; }
    void SetCursorIndex(int index) { cursor_ = index; }
    // Closes the dataset; for destructors of derived classes, never throws.
    void CloseQuietly() noexcept;

  private:
    void BindFields();
    void CheckActive() const;
    void CheckBrowseMode();
    void SetState(DataSetState state);
    int InsertRow() const;  // row index of the new row in insert state
    const Row* RecordAt(int row) const;
    const Row* CurrentRecord() const;
    const TField& FieldForWrite(const std::string& name);
    void BeginInsert(int cursor);
    void Notify(void (DataSetObserver::*event)());

    std::vector<TField> fields_;
    bool defaultFields_ = false;
    std::vector<FieldDef> fieldDefs_;
    std::vector<DataSetObserver*> observers_;
    DataSetState state_ = DataSetState::Inactive;
    int cursor_ = -1;
    int cursorBeforeInsert_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    Row editRow_;
};

}  // namespace pelvane
