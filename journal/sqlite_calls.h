// SQLite's calls, loaded on the first journal opened: a program that opens
// none (the window, most of the time) starts without the library.
#pragma once

#include <sqlite3.h>

namespace vantel::journal {

struct SqliteCalls {
    decltype(&sqlite3_open_v2) open_v2;
    decltype(&sqlite3_close) close;
    decltype(&sqlite3_errmsg) errmsg;
    decltype(&sqlite3_errstr) errstr;
    decltype(&sqlite3_extended_result_codes) extended_result_codes;
    decltype(&sqlite3_busy_timeout) busy_timeout;
    decltype(&sqlite3_exec) exec;
    decltype(&sqlite3_free) free;
    decltype(&sqlite3_prepare_v2) prepare_v2;
    decltype(&sqlite3_prepare_v3) prepare_v3;
    decltype(&sqlite3_finalize) finalize;
    decltype(&sqlite3_reset) reset;
    decltype(&sqlite3_clear_bindings) clear_bindings;
    decltype(&sqlite3_step) step;
    decltype(&sqlite3_bind_int) bind_int;
    decltype(&sqlite3_bind_int64) bind_int64;
    decltype(&sqlite3_bind_text) bind_text;
    decltype(&sqlite3_column_int) column_int;
    decltype(&sqlite3_column_int64) column_int64;
    decltype(&sqlite3_column_text) column_text;
    decltype(&sqlite3_column_bytes) column_bytes;
    decltype(&sqlite3_last_insert_rowid) last_insert_rowid;
};

// Loads the system's SQLite (kSqliteLibrary) once; throws JournalError
// (Other), naming the library and the reason, where it cannot be loaded.
void loadSqlite();
// Its calls, once loadSqlite has returned.
const SqliteCalls& sqlite() noexcept;

// The library's file, as installed.
inline constexpr const char* kSqliteLibrary = "libsqlite3.so.0";

} // namespace vantel::journal
