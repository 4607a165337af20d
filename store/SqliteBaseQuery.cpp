#include "store/SqliteBaseQuery.h"

#include <utility>

#include "common/Seged.h"
#include "common/Text.h"
#include "store/SqliteDb.h"

namespace pelvane {
namespace {

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

}  // namespace

TSqliteBaseQuery::TSqliteBaseQuery(TSqliteDb* connection) {
    SetConnection(connection);
}

TSqliteBaseQuery::~TSqliteBaseQuery() {
    CloseQuietly();
    if (connection_) connection_->Detach(this);
}

void TSqliteBaseQuery::SetConnection(TSqliteDb* connection) {
    if (connection == connection_) return;
    Close();
    if (connection_) connection_->Detach(this);
    connection_ = connection;
    if (connection_) connection_->Attach(this);
}

TRowCache& TSqliteBaseQuery::Cache() {
    if (!cache_) cache_ = std::make_unique<TRowCache>();
    return *cache_;
}

TSqliteDb& TSqliteBaseQuery::CheckConnection() {
    if (!connection_) throw ESqliteError("no database connection");
    if (!connection_->Connected()) connection_->SetConnected(true);
    return *connection_;
}

void TSqliteBaseQuery::InternalOpen() {
    const std::string statement = OpenStatement();
    TSqliteDb& db = CheckConnection();
    cache_ = std::make_unique<TRowCache>();
    db.LoadRows(*this, statement);
}

void TSqliteBaseQuery::InternalClose() {
    cache_.reset();
    fetchBuffer_.clear();
}

int TSqliteBaseQuery::CachedRowCount() const {
    return cache_ ? cache_->Count() : 0;
}

const Row& TSqliteBaseQuery::CachedRow(int index) const {
    return cache_->GetData(index);
}

bool TSqliteBaseQuery::Utf8() const {
    return !connection_ || connection_->Utf8Mode();
}

// The flag reaches only the next value that passes GetFieldData or
// SetFieldData, not what observers read while they hear of the change; and
// it never outlives the call, also when that fails.
struct TSqliteBaseQuery::Utf8Text {
    explicit Utf8Text(bool& flag) : flag_(flag) { flag_ = true; }
    ~Utf8Text() { flag_ = false; }
    bool& flag_;
};

std::wstring TSqliteBaseQuery::FieldWideText(const std::string& name) const {
    if (!Utf8() || !IsTextKind(FieldByName(name).kind)) return TDataSet::FieldWideText(name);
    Utf8Text utf8(utf8Text_);
    return Utf8ToWide(FieldText(name));
}

void TSqliteBaseQuery::SetFieldWideText(const std::string& name, const std::wstring& text) {
    if (!Utf8() || !IsTextKind(FieldByName(name).kind)) return TDataSet::SetFieldWideText(name, text);
    Utf8Text utf8(utf8Text_);
    SetFieldText(name, WideToUtf8(text));
}

Variant TSqliteBaseQuery::GetFieldData(const TField& field, const Row& row) const {
    const bool utf8Text = std::exchange(utf8Text_, false);
    Variant value = TDataSet::GetFieldData(field, row);
    if (Utf8() && !utf8Text && IsTextKind(field.kind))
        if (auto text = std::get_if<std::string>(&value)) return Utf8ToAnsi(*text);
    return value;
}

void TSqliteBaseQuery::SetFieldData(const TField& field, Row& row, const Variant& value) {
    const bool utf8Text = std::exchange(utf8Text_, false);
    const bool utf8 = Utf8();
    auto text = std::get_if<std::string>(&value);
    if (!text || !IsTextKind(field.kind)) {
        TDataSet::SetFieldData(field, row, value);
        return;
    }
    std::string stored = utf8 && !utf8Text ? AnsiToUtf8(*text) : *text;
    int size = field.size;
    if (size <= 0 && field.column >= 0 && field.column < static_cast<int>(FieldDefs().size()))
        size = FieldDefs()[field.column].size;
    if (field.kind == FieldKind::String && size > 0) {
        // Never half a character: a cut inside a UTF-8 sequence would leave
        // text that SQLite and the grid show as garbage.
        if (utf8)
            CutUtf8(stored, static_cast<size_t>(size));
        else if (stored.size() > static_cast<size_t>(size))
            stored.resize(size);
    }
    TDataSet::SetFieldData(field, row, stored);
}

std::string TSqliteBaseQuery::FieldValueSQL(const TField& field, const Row& row,
                                            std::vector<std::string>& blobs) const {
    const Variant value = TDataSet::GetFieldData(field, row);
    if (IsNull(value)) return "null";
    if (field.kind == FieldKind::Blob || field.kind == FieldKind::Graphic) {
        blobs.push_back(VariantToText(value));
        return "\x02" + std::to_string(blobs.size());
    }
    return Quoted(VariantToText(value));
}

int TSqliteBaseQuery::Bookmark() const {
    int index = CursorIndex();
    if (State() == DataSetState::Insert || !cache_ || index < 0 || index >= cache_->Count()) return -1;
    return cache_->GetBookmark(index);
}

void TSqliteBaseQuery::GotoBookmark(int bookmark) {
    if (State() == DataSetState::Edit || State() == DataSetState::Insert) {
        if (Modified())
            Post();
        else
            Cancel();
    }
    int index = cache_ ? cache_->IndexOfBookmark(bookmark) : -1;
    if (index < 0) throw EDatabaseError("Bookmark not found");
    MoveTo(index);
}

int64_t TSqliteBaseQuery::RowIdAt(int index) const {
    if (!cache_ || index < 0 || index >= cache_->Count()) return -1;
    return cache_->GetRowId(index);
}

std::string TSqliteBaseQuery::JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace pelvane
