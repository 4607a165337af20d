#include "store/SqliteDb.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/Callback.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "store/SqliteBaseQuery.h"

namespace pelvane {
namespace {

template <typename Fn>
Fn ProcAs(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

// The runtime's integer conversion, with its message.
int ParseSize(const std::string& text) {
    int32_t value = 0;
    if (!TryStrToInt(Trim(text), value)) throw EDatabaseError("'" + text + "' is not a valid integer value");
    return value;
}

// The two collations; each compares exactly the lengths SQLite passes.
// SQLite calls them back: nothing may escape (a failure compares equal).
int CompareBytes(void*, int n1, const void* s1, int n2, const void* s2) noexcept {
    return GuardCallback("collation", 0, [&] {
        int c = std::memcmp(s1, s2, static_cast<size_t>(std::min(n1, n2)));
        return c != 0 ? c : n1 - n2;
    });
}

int CompareNoCase(void*, int n1, const void* s1, int n2, const void* s2) noexcept {
    return GuardCallback("collation", 0, [&] {
        auto a = static_cast<const unsigned char*>(s1);
        auto b = static_cast<const unsigned char*>(s2);
        for (int i = 0; i < std::min(n1, n2); ++i) {
            int x = a[i] >= 'A' && a[i] <= 'Z' ? a[i] + 32 : a[i];
            int y = b[i] >= 'A' && b[i] <= 'Z' ? b[i] + 32 : b[i];
            if (x != y) return x - y;
        }
        return n1 - n2;
    });
}

// Whether this is a program with windows (built for the GUI subsystem).
// Only there is the pointer touched while rows load. A console program
// (pelvane-cli, the test programs) has no window of its own for the pointer
// to be over, and any windowing call there (the first cursor call, or a
// look for the thread's windows) brings up the display driver and the
// desktop for nothing: under Wine the X11 driver and the desktop process,
// on which a program that should need no display then depends.
bool WindowsProgram() {
    static const bool gui = [] {
        const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
    }();
    return gui;
}

// The process's current folder, however long: a fixed buffer cut a long one
// short, or came back empty and put the file in the drive's root folder.
std::wstring CurrentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(size, L'\0');
    const DWORD n = size ? GetCurrentDirectoryW(size, dir.data()) : 0;
    if (n == 0 || n >= size) throw EDatabaseError(SysErrorMessage(GetLastError()));
    dir.resize(n);
    return dir;
}

bool IsMemory(const std::wstring& name) {
    return AsciiLower(name) == L":memory:";
}

// Without the blanks and control characters at either end, as Trim.
std::wstring TrimWide(const std::wstring& s) {
    size_t first = 0, last = s.size();
    while (first < last && s[first] <= L' ') ++first;
    while (last > first && s[last - 1] <= L' ') --last;
    return s.substr(first, last - first);
}

// Integer, float and boolean columns arrive as text and are kept natively.
Variant NativeValue(FieldKind kind, const char* text) {
    switch (kind) {
        case FieldKind::Integer: {
            int32_t value = 0;
            if (TryStrToInt(text, value)) return value;
            double real = std::strtod(text, nullptr);  // a real stored in an integer column
            return real >= INT32_MIN && real <= INT32_MAX ? static_cast<int32_t>(real) : 0;
        }
        case FieldKind::Float:
        case FieldKind::Currency:
            return std::strtod(text, nullptr);
        case FieldKind::Boolean: {
            std::string t = AsciiLower(text);
            return t == "true" || (std::strtod(text, nullptr) != 0);
        }
        default:
            return std::string(text);
    }
}

constexpr int kBusyRetries = 200;  // with a 10 ms pause: a change gives up after about 2 s

}  // namespace

FieldDef GetFieldInfo(const std::string& declaredType) {
    FieldDef def;
    def.kind = FieldKind::String;
    def.size = 255;
    std::string type = AsciiLower(declaredType.empty() ? std::string("string") : declaredType);
    size_t open = type.find('(');
    if (open != std::string::npos) {
        size_t close = type.find(')', open);
        if (close == std::string::npos) {
            def.size = 256;
            return def;
        }
        std::string word = Trim(type.substr(0, open));
        std::string inside = type.substr(open + 1, close - open - 1);
        if (word == "varchar" || word == "char" || word == "varchar2") {
            def.size = ParseSize(inside);
        } else if (word == "nvarchar" || word == "nchar" || word == "nvarchar2") {
            def.kind = FieldKind::WideString;
            def.size = 2 * ParseSize(inside);
        } else if (word == "numeric") {
            def.kind = FieldKind::Float;
            size_t sep = inside.find('.');
            if (sep == std::string::npos) sep = inside.find(',');
            if (sep == std::string::npos) {
                def.size = ParseSize(inside);
            } else {
                def.size = ParseSize(inside.substr(0, sep));
                def.precision = ParseSize(inside.substr(sep + 1, 2));
            }
        }
        return def;
    }
    struct Mapping {
        const char* word;
        FieldKind kind;
        int size;
    };
    static const Mapping kTypes[] = {
        {"date", FieldKind::Date, 10},
        {"datetime", FieldKind::DateTime, 24},
        {"time", FieldKind::Time, 12},
        {"timestamp", FieldKind::TimeStamp, 12},
        {"integer", FieldKind::Integer, 12},
        {"int", FieldKind::Integer, 12},
        {"float", FieldKind::Float, 12},
        {"real", FieldKind::Float, 12},
        {"boolean", FieldKind::Boolean, 2},
        {"logical", FieldKind::Boolean, 2},
        {"char", FieldKind::String, 1},
        {"byte", FieldKind::String, 1},
        {"shorttext", FieldKind::String, 255},
        {"string", FieldKind::String, 255},
        {"widetext", FieldKind::WideString, 512},
        {"widestring", FieldKind::WideString, 512},
        {"currency", FieldKind::Currency, 10},
        {"financial", FieldKind::Currency, 10},
        {"money", FieldKind::Currency, 10},
        {"blob", FieldKind::Blob, 4},
        {"graphic", FieldKind::Graphic, 4},
        {"clob", FieldKind::Memo, 4},
        {"memo", FieldKind::Memo, 4},
        {"text", FieldKind::Memo, 4},
        {"longtext", FieldKind::Memo, 4},
        {"nclob", FieldKind::WideString, 60},
        {"nmemo", FieldKind::WideString, 60},
        {"ntext", FieldKind::WideString, 60},
        {"nlongtext", FieldKind::WideString, 60},
    };
    for (const Mapping& m : kTypes) {
        if (type == m.word) {
            def.kind = m.kind;
            def.size = m.size;
            break;
        }
    }
    return def;
}

void CutUtf8(std::string& s, size_t maxBytes) {
    if (s.size() <= maxBytes) return;
    size_t n = maxBytes;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.resize(n);
}

TSqliteDb::~TSqliteDb() {
    try {
        Disconnect();
    } catch (...) {
    }
    for (TSqliteBaseQuery* dataset : datasets_) dataset->connection_ = nullptr;
}

void TSqliteDb::SetDatabase(const std::wstring& name) {
    database_ = TrimWide(name);
    if (database_.empty() || IsMemory(database_)) return;
    size_t dot = database_.find_last_of(L".\\:");
    if (dot == std::wstring::npos || database_[dot] != L'.') database_ += defaultExt_;
}

const std::wstring& TSqliteDb::DefaultExt() {
    if (defaultExt_.empty()) defaultExt_ = L".sqb";
    return defaultExt_;
}

const std::wstring& TSqliteDb::DriverDLL() {
    if (driverDll_.empty()) driverDll_ = L"SQLite3.dll";
    return driverDll_;
}

void TSqliteDb::SetTimeOut(int milliseconds) {
    timeOut_ = milliseconds;
    if (connected_ && db_ && timeOut_ > 0) api_.sqlite3_busy_timeout(db_, timeOut_);
}

void TSqliteDb::SetConnected(bool connected) {
    if (connected == connected_) return;
    if (connected)
        Connect();
    else
        Disconnect();
}

std::wstring TSqliteDb::DatabasePath() {
    if (IsMemory(database_)) return database_;
    std::wstring path;
    if (!defaultDir_.empty()) {
        if (defaultDir_.back() != L'\\') defaultDir_ += L'\\';
        path = defaultDir_ + database_;
    } else if (database_.find(L'\\') != std::wstring::npos) {
        path = database_;
    } else {
        path = CurrentFolder() + L'\\' + database_;
    }
    if (mustExist_ && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw EDatabaseError("Database " + WideToAnsi(path) + " does not exist");
    return path;
}

void TSqliteDb::LoadLibs() {
    ModuleHandle library(LoadLibraryW(DriverDLL().c_str()));
    if (!library) throw ESqliteError("Could not load SQLite library(" + WideToAnsi(DriverDLL()) + ")");
    SqliteApi api;
#define PELVANE_RESOLVE(name, missing) \
    api.name = ProcAs<decltype(api.name)>(GetProcAddress(library.get(), #name));
    PELVANE_SQLITE_ENTRY_POINTS(PELVANE_RESOLVE)
#undef PELVANE_RESOLVE
    // A library missing an entry is released again, so that no later connect
    // can reach an entry that never resolved.
#define PELVANE_CHECK(name, missing) \
    if (!api.name) throw ESqliteError(missing);
    PELVANE_SQLITE_ENTRY_POINTS(PELVANE_CHECK)
#undef PELVANE_CHECK
    library_ = std::move(library);
    api_ = api;
}

void TSqliteDb::Connect() {
    const std::string encoding = AsciiLower(characterEncoding_);
    utf8_ = encoding.empty() || encoding == "utf8";
    if (database_.empty()) throw ESqliteError("Missing database property");
    const std::wstring path = DatabasePath();
    if (!library_) LoadLibs();

    connected_ = true;
    try {
        version_ = api_.sqlite3_libversion();
        db_ = nullptr;
        if (BeforeConnect) BeforeConnect(*this);
        // sqlite3_open takes the name in UTF-8 in every version 3 library (the
        // only ones that have it); on Windows it opens the file by its wide
        // name, so any path is reached.
        const int opened = api_.sqlite3_open(WideToUtf8(path).c_str(), &db_);
        if (!db_) throw ESqliteError("Cannot open database", opened);
        // A refused open still yields a handle, but one that answers every
        // later call with a meaningless text; say now what SQLite says.
        Check(opened);
        api_.sqlite3_create_collation(db_, "systemnocase", SQLITE_UTF8, nullptr, CompareNoCase);
        api_.sqlite3_create_collation(db_, "system", SQLITE_UTF8, nullptr, CompareBytes);
        if (AfterConnect) AfterConnect(*this);
        if (connected_ && timeOut_ > 0) api_.sqlite3_busy_timeout(db_, timeOut_);
    } catch (...) {
        if (db_) api_.sqlite3_close(db_);
        db_ = nullptr;
        connected_ = false;
        throw;
    }
}

void TSqliteDb::Disconnect() {
    if (!connected_) return;
    if (library_) {
        if (BeforeDisconnect) BeforeDisconnect(*this);
        for (TSqliteBaseQuery* dataset : std::vector<TSqliteBaseQuery*>(datasets_)) dataset->Close();
        if (db_) api_.sqlite3_close(db_);
        db_ = nullptr;
        library_.reset();
        api_ = SqliteApi{};
        if (AfterDisconnect) AfterDisconnect(*this);
    }
    connected_ = false;
    inTransaction_ = false;
}

void TSqliteDb::CheckConnected() {
    if (!connected_) Connect();
}

void TSqliteDb::Check(int resultCode) {
    if (resultCode == SQLITE_OK) return;
    const char* message = db_ ? api_.sqlite3_errmsg(db_) : nullptr;
    const std::string text = message ? message : "";
    // SQLite's texts are UTF-8; the program shows ANSI.
    throw EDatabaseError(utf8_ ? Utf8ToAnsi(text) : text, resultCode);
}

int TSqliteDb::StepFailure(sqlite3_stmt* statement, int stepCode) {
    // Statements prepared the legacy way name their real error only at reset.
    const int reset = api_.sqlite3_reset(statement);
    return reset != SQLITE_OK ? reset : stepCode;
}

SqliteStatement TSqliteDb::Prepare(const char* text, const char** tail) {
    sqlite3_stmt* statement = nullptr;
    const int rc = api_.sqlite3_prepare(db_, text, -1, &statement, tail);
    SqliteStatement owner({statement, api_.sqlite3_finalize});
    Check(rc);
    return owner;
}

int TSqliteDb::Finalize(SqliteStatement& statement) {
    sqlite3_stmt* raw = statement.release().statement;
    return raw ? api_.sqlite3_finalize(raw) : SQLITE_OK;
}

std::string TSqliteDb::PrepareText(const std::string& sql, bool textIsUtf8) const {
    std::string text = sql;
    std::replace(text.begin(), text.end(), '\x02', '?');
    if (utf8_ && !textIsUtf8) text = AnsiToUtf8(text);
    if (OnTrace) OnTrace(text);
    return text;
}

void TSqliteDb::ExecuteStatement(const std::string& sql, const std::vector<std::string>* blobs,
                                 bool textIsUtf8) {
    CheckConnected();
    const std::string text = PrepareText(sql, textIsUtf8);
    const char* rest = text.c_str();
    bool retried = false;
    while (*rest) {
        const char* start = rest;
        const char* tail = nullptr;
        SqliteStatement statement = Prepare(rest, &tail);
        const bool advanced = tail && tail != rest;
        rest = advanced ? tail : rest + std::strlen(rest);
        if (!statement) {  // only blanks or comments were left
            if (!advanced) break;
            continue;
        }
        StepToEnd(statement.get().statement, blobs);
        const int rc = Finalize(statement);
        if (rc == SQLITE_SCHEMA && !retried) {
            // Another program changed the schema since it was read: the
            // statement is prepared again against the new one, once.
            retried = true;
            rest = start;
            continue;
        }
        Check(rc);
    }
}

void TSqliteDb::StepToEnd(sqlite3_stmt* statement, const std::vector<std::string>* blobs) {
    if (blobs) {
        for (size_t i = 0; i < blobs->size(); ++i) {
            const std::string& blob = (*blobs)[i];
            api_.sqlite3_bind_blob(statement, static_cast<int>(i + 1), blob.data(),
                                   static_cast<int>(blob.size()), SQLITE_STATIC);
        }
    }
    int busy = 0;
    for (;;) {
        int rc = api_.sqlite3_step(statement);
        if (rc == SQLITE_ERROR || rc == SQLITE_MISUSE || rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY) {
            // Another program holds the file; give up after a while
            // rather than hang the window.
            if (++busy > kBusyRetries) break;
            Sleep(10);
        } else if (rc != SQLITE_ROW) {
            break;
        }
    }
}

SqliteStatement TSqliteDb::PrepareResult(const std::string& sql, TSqliteBaseQuery& dataset) {
    CheckConnected();
    dataset.rowIdColumn_ = -1;
    dataset.currentRowId_ = -1;
    const std::string text = PrepareText(sql, false);
    // A declared size that does not parse raises below; the owner then
    // finalizes the statement, which would otherwise keep the file open.
    SqliteStatement owner = Prepare(text.c_str());
    sqlite3_stmt* statement = owner.get().statement;
    if (!statement) return owner;

    const int columns = api_.sqlite3_column_count(statement);
    if (columns > 0) dataset.MutableFieldDefs().clear();
    std::vector<FieldDef>& defs = dataset.MutableFieldDefs();
    auto exists = [&](const std::string& name) {
        const std::string key = AsciiLower(name);
        return std::any_of(defs.begin(), defs.end(),
                           [&](const FieldDef& d) { return AsciiLower(d.name) == key; });
    };
    auto columnName = [&](int i) {
        const char* raw = api_.sqlite3_column_name(statement, i);
        return std::string(raw ? raw : "");
    };
    // The rowid comes last ("select *, rowid as rowid"): a column of the
    // table's own that is named rowid stands before it and is a field.
    for (int i = columns - 1; i >= 0 && dataset.rowIdColumn_ < 0; --i)
        if (AsciiLower(columnName(i)) == "rowid") dataset.rowIdColumn_ = i;
    for (int i = 0; i < columns; ++i) {
        if (i == dataset.rowIdColumn_) continue;
        const std::string column = columnName(i);
        std::string name = column;
        for (int n = 1; exists(name); ++n) name = column + "_" + std::to_string(n);
        const char* declared = api_.sqlite3_column_decltype(statement, i);
        FieldDef info = GetFieldInfo(declared ? declared : "");
        FieldDef def;
        def.name = name;
        def.kind = dataset.TypeLess ? FieldKind::String : info.kind;
        def.size = info.size;
        def.precision = def.kind == FieldKind::Float ? info.precision : 0;
        defs.push_back(def);
    }
    return owner;
}

const Row* TSqliteDb::FetchRow(const SqliteStatement& owner, TSqliteBaseQuery& dataset) {
    sqlite3_stmt* statement = owner.get().statement;
    const std::vector<FieldDef>& defs = dataset.FieldDefs();
    Row& buffer = dataset.fetchBuffer_;
    buffer.assign(defs.size(), Variant{});
    int rc = api_.sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        const int columns = api_.sqlite3_column_count(statement);
        size_t field = 0;
        for (int i = 0; i < columns; ++i) {
            if (i == dataset.rowIdColumn_) {
                // 64 bits: a rowid above 2^31 must still address its own row.
                dataset.currentRowId_ = api_.sqlite3_column_int64(statement, i);
                continue;
            }
            if (field >= defs.size()) break;
            const FieldDef& def = defs[field];
            Variant& value = buffer[field++];
            if (api_.sqlite3_column_type(statement, i) == SQLITE_NULL) continue;
            if (def.kind == FieldKind::Blob || def.kind == FieldKind::Graphic) {
                const void* bytes = api_.sqlite3_column_blob(statement, i);
                int size = api_.sqlite3_column_bytes(statement, i);
                value = std::string(static_cast<const char*>(bytes), bytes ? static_cast<size_t>(size) : 0);
            } else if (def.kind == FieldKind::WideString && utf8_) {
                auto wide = static_cast<const wchar_t*>(api_.sqlite3_column_text16(statement, i));
                const size_t chars = static_cast<size_t>(api_.sqlite3_column_bytes16(statement, i)) / 2;
                value = WideToUtf8(wide ? std::wstring_view(wide, chars) : std::wstring_view());
            } else {
                auto raw = reinterpret_cast<const char*>(api_.sqlite3_column_text(statement, i));
                const char* text = raw ? raw : "";
                if (def.kind == FieldKind::String) {
                    std::string s = text;
                    if (utf8_)
                        CutUtf8(s, static_cast<size_t>(def.size));
                    else if (s.size() > static_cast<size_t>(def.size))
                        s.resize(def.size);
                    value = std::move(s);
                } else {
                    value = NativeValue(def.kind, text);
                }
            }
        }
        return &buffer;
    }
    if (rc == SQLITE_DONE) return nullptr;
    if (rc == SQLITE_ERROR || rc == SQLITE_MISUSE) Check(StepFailure(statement, rc));
    if (rc == SQLITE_BUSY) {
        if (OnBusy) {
            OnBusy(*this);
            return nullptr;
        }
        Check(rc);
    }
    return nullptr;
}

void TSqliteDb::CloseResult(SqliteStatement statement) {
    if (!statement) return;
    api_.sqlite3_reset(statement.get().statement);
    const int rc = Finalize(statement);
    if (rc != SQLITE_OK) throw ESqliteError("SQLiteExecute error: " + std::to_string(rc), rc);
}

void TSqliteDb::LoadRows(TSqliteBaseQuery& dataset, const std::string& sql) {
    // The wait pointer while rows load, in a program with windows; the
    // previous one back afterwards.
    struct WaitPointer {
        bool on;
        HCURSOR wait = nullptr, saved = nullptr;
        explicit WaitPointer(bool show) : on(show) {
            if (!on) return;
            wait = LoadCursor(nullptr, IDC_WAIT);
            saved = SetCursor(wait);
        }
        ~WaitPointer() {
            if (!on) return;
            SetCursor(saved);
            if (GetCursor() == wait) SetCursor(LoadCursor(nullptr, IDC_ARROW));
        }
    } pointer(dataset.SQLCursor && WindowsProgram());

    for (bool retried = false;; retried = true) {
        dataset.currentRowId_ = -1;
        SqliteStatement statement = PrepareResult(sql, dataset);
        if (!statement) return;
        TRowCache& cache = dataset.Cache();
        try {
            while (const Row* row = FetchRow(statement, dataset)) {
                const int64_t rowId = dataset.rowIdColumn_ >= 0 ? dataset.currentRowId_ : cache.Count();
                cache.Add(*row, rowId);
            }
        } catch (const EDatabaseError& e) {
            // The schema changed under a statement prepared from the old
            // one: prepare it again, once, before any row came.
            if (e.ResultCode() == SQLITE_SCHEMA && !retried && cache.Count() == 0) continue;
            throw;
        }
        CloseResult(std::move(statement));
        return;
    }
}

std::vector<TSqliteDb::ColumnInfo> TSqliteDb::TableColumns(const std::string& table) {
    CheckConnected();
    const std::string text = PrepareText("pragma table_info(" + table + ")", false);
    for (bool retried = false;; retried = true) {
        SqliteStatement owner = Prepare(text.c_str());
        sqlite3_stmt* statement = owner.get().statement;
        std::vector<ColumnInfo> columns;
        if (!statement) return columns;
        auto textOf = [&](int column) {
            auto raw = reinterpret_cast<const char*>(api_.sqlite3_column_text(statement, column));
            const std::string value = raw ? raw : "";
            return utf8_ ? Utf8ToAnsi(value) : value;
        };
        int rc;
        while ((rc = api_.sqlite3_step(statement)) == SQLITE_ROW) {
            ColumnInfo column;
            column.name = textOf(1);
            column.type = textOf(2);
            column.primaryKey = api_.sqlite3_column_int(statement, 5) != 0;
            columns.push_back(std::move(column));
        }
        if (rc != SQLITE_ERROR && rc != SQLITE_MISUSE)
            return columns;  // done, or busy: nothing is known then
        const int failure = StepFailure(statement, rc);
        // Another program changed the schema since it was read: once more.
        if (failure == SQLITE_SCHEMA && !retried) continue;
        Check(failure);
    }
}

void TSqliteDb::TransactionStatement(const char* sql, bool inTransaction) {
    CheckConnected();
    ExecuteStatement(sql);
    inTransaction_ = inTransaction;
}

void TSqliteDb::StartTransaction() {
    TransactionStatement("begin transaction", true);
}

void TSqliteDb::StartTransactionOfType(const std::string& type) {
    const std::string kind = AsciiLower(type.empty() ? transactionType_ : type);
    TransactionStatement(kind == "deferred"    ? "begin deferred transaction"
                         : kind == "immediate" ? "begin immediate transaction"
                         : kind == "exclusive" ? "begin exclusive transaction"
                                               : "begin transaction",
                         true);
}

void TSqliteDb::Commit() {
    TransactionStatement("commit transaction", false);
}

void TSqliteDb::RollBack() {
    TransactionStatement("rollback transaction", false);
}

int TSqliteDb::RowsAffected() {
    if (!connected_ || !db_) return -1;
    return api_.sqlite3_changes(db_);
}

int64_t TSqliteDb::LastInsertRowId() {
    if (!connected_ || !db_) return -1;
    return api_.sqlite3_last_insert_rowid(db_);
}

void TSqliteDb::Attach(TSqliteBaseQuery* dataset) {
    if (std::find(datasets_.begin(), datasets_.end(), dataset) == datasets_.end())
        datasets_.push_back(dataset);
}

void TSqliteDb::Detach(TSqliteBaseQuery* dataset) {
    datasets_.erase(std::remove(datasets_.begin(), datasets_.end(), dataset), datasets_.end());
}

}  // namespace pelvane
