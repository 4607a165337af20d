#include "store/DataSet.h"

#include <algorithm>
#include <cstdlib>

#include "common/Seged.h"
#include "common/Text.h"

namespace pelvane {
namespace {

// A value as the field's kind holds it; null stays null.
Variant CoerceToKind(FieldKind kind, const Variant& value) {
    if (IsNull(value)) return value;
    switch (kind) {
        case FieldKind::Integer:
            return VariantToInt(value);
        case FieldKind::String:
        case FieldKind::WideString:
        case FieldKind::Memo:
            return VariantToText(value);
        default:
            return value;
    }
}

}  // namespace

bool IsTextKind(FieldKind kind) {
    return kind == FieldKind::String || kind == FieldKind::WideString || kind == FieldKind::Memo;
}

const char* FieldKindName(FieldKind kind) {
    switch (kind) {
        case FieldKind::String:
            return "String";
        case FieldKind::WideString:
            return "WideString";
        case FieldKind::Integer:
            return "Integer";
        case FieldKind::Float:
            return "Float";
        case FieldKind::Currency:
            return "Currency";
        case FieldKind::Boolean:
            return "Boolean";
        case FieldKind::Date:
            return "Date";
        case FieldKind::Time:
            return "Time";
        case FieldKind::DateTime:
            return "DateTime";
        case FieldKind::TimeStamp:
            return "TimeStamp";
        case FieldKind::Memo:
            return "Memo";
        case FieldKind::Blob:
            return "Blob";
        case FieldKind::Graphic:
            return "Graphic";
    }
    return "Unknown";
}

TField& TDataSet::AddField(const std::string& name, FieldKind kind, int size,
                           const std::string& displayLabel) {
    if (defaultFields_) {  // declaring fields replaces the ones made from the columns
        fields_.clear();
        defaultFields_ = false;
    }
    TField field;
    field.name = name;
    field.displayLabel = displayLabel;
    field.kind = kind;
    field.size = size;
    fields_.push_back(field);
    return fields_.back();
}

int TDataSet::FieldIndex(const std::string& name) const {
    const std::string key = AsciiLower(name);
    for (size_t i = 0; i < fields_.size(); ++i)
        if (AsciiLower(fields_[i].name) == key) return static_cast<int>(i);
    return -1;
}

const TField& TDataSet::FieldByName(const std::string& name) const {
    int index = FieldIndex(name);
    if (index < 0) throw EDatabaseError("Field '" + name + "' not found");
    return fields_[index];
}

void TDataSet::Open() {
    if (Active()) return;
    try {
        InternalOpen();
        BindFields();
    } catch (...) {
        InternalClose();
        if (defaultFields_) fields_.clear();
        defaultFields_ = false;
        fieldDefs_.clear();
        throw;
    }
    int count = CachedRowCount();
    cursor_ = count > 0 ? 0 : -1;
    bof_ = true;
    eof_ = count == 0;
    modified_ = false;
    SetState(DataSetState::Browse);
    Notify(&DataSetObserver::DataSetChanged);
}

void TDataSet::BindFields() {
    if (fields_.empty()) {
        for (size_t i = 0; i < fieldDefs_.size(); ++i) {
            TField field;
            field.name = fieldDefs_[i].name;
            field.kind = fieldDefs_[i].kind;
            field.size = fieldDefs_[i].size;
            field.column = static_cast<int>(i);
            fields_.push_back(field);
        }
        defaultFields_ = true;
        return;
    }
    for (TField& field : fields_) {
        const std::string key = AsciiLower(field.name);
        auto def = std::find_if(fieldDefs_.begin(), fieldDefs_.end(),
                                [&](const FieldDef& d) { return AsciiLower(d.name) == key; });
        if (def == fieldDefs_.end()) throw EDatabaseError("Field '" + field.DisplayName() + "' not found");
        if (def->kind != field.kind)
            throw EDatabaseError("Type mismatch for field '" + field.DisplayName() + "', expecting: " +
                                 FieldKindName(field.kind) + " actual: " + FieldKindName(def->kind));
        field.column = static_cast<int>(def - fieldDefs_.begin());
    }
}

void TDataSet::Close() {
    CloseQuietly();
}

void TDataSet::CloseQuietly() noexcept {
    if (!Active()) return;
    try {
        InternalClose();
    } catch (...) {
        // Releasing memory only; nothing to report.
    }
    if (defaultFields_) fields_.clear();
    defaultFields_ = false;
    for (TField& field : fields_) field.column = -1;
    fieldDefs_.clear();
    editRow_.clear();
    cursor_ = -1;
    bof_ = eof_ = true;
    modified_ = false;
    state_ = DataSetState::Inactive;
    try {
        Notify(&DataSetObserver::StateChanged);
        Notify(&DataSetObserver::DataSetChanged);
    } catch (...) {
    }
}

void TDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

// Leaving a row stores a changed edit and drops an unchanged one.
void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void TDataSet::First() {
    CheckBrowseMode();
    int count = CachedRowCount();
    cursor_ = count > 0 ? 0 : -1;
    bof_ = true;
    eof_ = count == 0;
    Notify(&DataSetObserver::Scrolled);
}

void TDataSet::Next() {
    CheckBrowseMode();
    if (cursor_ < CachedRowCount() - 1) {
        ++cursor_;
        eof_ = false;
        Notify(&DataSetObserver::Scrolled);
    } else {
        eof_ = true;
    }
    bof_ = false;
}

void TDataSet::Prior() {
    CheckBrowseMode();
    if (cursor_ > 0) {
        --cursor_;
        bof_ = false;
        Notify(&DataSetObserver::Scrolled);
    } else {
        bof_ = true;
    }
    eof_ = false;
}

void TDataSet::Last() {
    CheckBrowseMode();
    int count = CachedRowCount();
    cursor_ = count - 1;
    eof_ = true;
    bof_ = count == 0;
    Notify(&DataSetObserver::Scrolled);
}

int TDataSet::RecordCount() const {
    return Active() ? CachedRowCount() : 0;
}

int TDataSet::RecNo() const {
    if (state_ != DataSetState::Browse && state_ != DataSetState::Edit) return 0;
    return cursor_ >= 0 ? cursor_ + 1 : 0;
}

void TDataSet::Edit() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    if (CachedRowCount() == 0) {
        Insert();
        return;
    }
    editRow_ = CachedRow(cursor_);
    modified_ = false;
    SetState(DataSetState::Edit);
}

void TDataSet::Insert() {
    CheckBrowseMode();
    BeginInsert(CachedRowCount() == 0 ? -1 : cursor_);
}

void TDataSet::Append() {
    CheckBrowseMode();
    BeginInsert(CachedRowCount());
}

void TDataSet::BeginInsert(int cursor) {
    cursorBeforeInsert_ = cursor_;
    cursor_ = cursor;
    editRow_.assign(fieldDefs_.size(), Variant{});
    modified_ = false;
    eof_ = bof_ = false;
    SetState(DataSetState::Insert);
    Notify(&DataSetObserver::DataSetChanged);
}

void TDataSet::Cancel() {
    if (state_ == DataSetState::Edit) {
        modified_ = false;
        SetState(DataSetState::Browse);
        Notify(&DataSetObserver::RecordChanged);
    } else if (state_ == DataSetState::Insert) {
        cursor_ = cursorBeforeInsert_;
        modified_ = false;
        int count = CachedRowCount();
        if (cursor_ >= count) cursor_ = count - 1;
        eof_ = bof_ = count == 0;
        SetState(DataSetState::Browse);
        Notify(&DataSetObserver::DataSetChanged);
    }
}

void TDataSet::Post() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw EDatabaseError("Dataset not in edit or insert mode");
    if (BeforePost) BeforePost(*this);
    bool inserted = state_ == DataSetState::Insert;
    InternalPost();  // a failure leaves the state and the user's values as they are
    modified_ = false;
    eof_ = bof_ = false;
    SetState(DataSetState::Browse);
    Notify(inserted ? &DataSetObserver::DataSetChanged : &DataSetObserver::RecordChanged);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (CachedRowCount() == 0) throw EDatabaseError("Cannot perform this operation on an empty dataset");
    InternalDelete();
    modified_ = false;
    eof_ = bof_ = CachedRowCount() == 0;
    SetState(DataSetState::Browse);
    Notify(&DataSetObserver::DataSetChanged);
}

const Row* TDataSet::CurrentRecord() const {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return &editRow_;
    if (state_ == DataSetState::Browse && cursor_ >= 0 && cursor_ < CachedRowCount())
        return &CachedRow(cursor_);
    return nullptr;
}

Variant TDataSet::FieldValue(const std::string& name) const {
    const TField& field = FieldByName(name);
    const Row* record = CurrentRecord();
    return record ? GetFieldData(field, *record) : Variant{};
}

std::string TDataSet::FieldText(const std::string& name) const {
    return VariantToText(FieldValue(name));
}

const TField& TDataSet::FieldForWrite(const std::string& name) {
    const TField& field = FieldByName(name);
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw EDatabaseError("Dataset not in edit or insert mode");
    return field;
}

void TDataSet::SetFieldValue(const std::string& name, const Variant& value) {
    const TField& field = FieldForWrite(name);
    SetFieldData(field, editRow_, CoerceToKind(field.kind, value));
    modified_ = true;
    Notify(&DataSetObserver::RecordChanged);
}

void TDataSet::SetFieldText(const std::string& name, const std::string& text) {
    const TField& field = FieldForWrite(name);
    if (IsTextKind(field.kind)) {
        SetFieldValue(name, text);
    } else if (text.empty()) {
        SetFieldValue(name, Variant{});
    } else if (field.kind == FieldKind::Integer) {
        int32_t value = 0;
        if (!TryStrToInt(text, value)) throw EDatabaseError("'" + text + "' is not a valid integer value");
        SetFieldValue(name, value);
    } else if (field.kind == FieldKind::Float || field.kind == FieldKind::Currency) {
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0')
            throw EDatabaseError("'" + text + "' is not a valid floating point value");
        SetFieldValue(name, value);
    } else {
        SetFieldValue(name, text);
    }
}

int TDataSet::RowCount() const {
    if (!Active()) return 0;
    return CachedRowCount() + (state_ == DataSetState::Insert ? 1 : 0);
}

int TDataSet::InsertRow() const {
    return cursor_ < 0 ? 0 : std::min(cursor_, CachedRowCount());
}

int TDataSet::ActiveRow() const {
    if (!Active()) return -1;
    return state_ == DataSetState::Insert ? InsertRow() : cursor_;
}

void TDataSet::MoveTo(int row) {
    CheckActive();
    if (row == ActiveRow()) return;
    if (state_ == DataSetState::Insert) {
        bool dropped = !modified_;
        int newRow = InsertRow();
        CheckBrowseMode();
        if (dropped && row > newRow) --row;  // the rows below the dropped one moved up
    } else {
        CheckBrowseMode();
    }
    int count = CachedRowCount();
    if (count == 0) return;
    cursor_ = std::clamp(row, 0, count - 1);
    bof_ = eof_ = false;
    Notify(&DataSetObserver::Scrolled);
}

const Row* TDataSet::RecordAt(int row) const {
    if (!Active() || row < 0) return nullptr;
    if (state_ == DataSetState::Insert) {
        int newRow = InsertRow();
        if (row == newRow) return &editRow_;
        if (row > newRow) --row;
    } else if (state_ == DataSetState::Edit && row == cursor_) {
        return &editRow_;
    }
    return row < CachedRowCount() ? &CachedRow(row) : nullptr;
}

std::wstring TDataSet::FieldWideText(const std::string& name) const {
    return AnsiToWide(FieldText(name));
}

void TDataSet::SetFieldWideText(const std::string& name, const std::wstring& text) {
    SetFieldText(name, WideToAnsi(text));
}

Variant TDataSet::FieldValueAt(int row, int field) const {
    const Row* record = RecordAt(row);
    if (!record || field < 0 || field >= static_cast<int>(fields_.size())) return Variant{};
    return GetFieldData(fields_[field], *record);
}

std::string TDataSet::FieldTextAt(int row, int field) const {
    return VariantToText(FieldValueAt(row, field));
}

Variant TDataSet::GetFieldData(const TField& field, const Row& row) const {
    if (field.column < 0 || field.column >= static_cast<int>(row.size())) return Variant{};
    return row[field.column];
}

void TDataSet::SetFieldData(const TField& field, Row& row, const Variant& value) {
    if (field.column < 0 || field.column >= static_cast<int>(row.size())) return;
    row[field.column] = value;
}

void TDataSet::SetState(DataSetState state) {
    if (state_ == state) return;
    state_ = state;
    Notify(&DataSetObserver::StateChanged);
}

void TDataSet::AddObserver(DataSetObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TDataSet::RemoveObserver(DataSetObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TDataSet::Notify(void (DataSetObserver::*event)()) {
    // A copy: an observer may remove itself while it is told.
    std::vector<DataSetObserver*> observers = observers_;
    for (DataSetObserver* observer : observers)
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
            (observer->*event)();
}

}  // namespace pelvane
