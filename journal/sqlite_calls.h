// SQLite's calls, loaded on the first journal opened: a program that opens
// none (the window, most of the time) starts without the library.
#pragma once

#include <sqlite3.h>

namespace vantel::journal {

// Every SQLite call the journal makes, by its name without "sqlite3_".
// clang-format off
#define VANTEL_SQLITE_CALLS(X) \
    X(open_v2) X(close) X(errmsg) X(errstr) X(extended_result_codes) X(busy_timeout) \
    X(exec) X(free) X(prepare_v2) X(prepare_v3) X(finalize) X(reset) X(clear_bindings) \
    X(step) X(bind_int) X(bind_int64) X(bind_text) X(column_int) X(column_int64) \
    X(column_text) X(column_bytes) X(last_insert_rowid)
// clang-format on

struct SqliteCalls {
#define VANTEL_SQLITE_CALL(name) decltype(&sqlite3_##name) name;
    VANTEL_SQLITE_CALLS(VANTEL_SQLITE_CALL)
#undef VANTEL_SQLITE_CALL
};

// Loads the system's SQLite (kSqliteLibrary) once; throws JournalError
// (Other), naming the library and the reason, where it cannot be loaded.
void loadSqlite();
// Its calls, once loadSqlite has returned.
const SqliteCalls& sqlite() noexcept;

// The library's file, as installed.
inline constexpr const char* kSqliteLibrary = "libsqlite3.so.0";

} // namespace vantel::journal
