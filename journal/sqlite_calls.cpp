#include "sqlite_calls.h"

#include "journal_store.h"

#include <dlfcn.h>

#include <string>

namespace vantel::journal {

namespace {

struct Loaded {
    SqliteCalls calls{};
    std::string failure; // empty once every call is found
};

template <class Call> bool find(void* library, const char* name, Call& call, std::string& failure) {
    call = reinterpret_cast<Call>(dlsym(library, name));
    if (!call && failure.empty()) failure = std::string(kSqliteLibrary) + " has no " + name;
    return call != nullptr;
}

Loaded load() {
    Loaded l;
    void* library = dlopen(kSqliteLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        l.failure = why ? why : kSqliteLibrary;
        return l;
    }
    SqliteCalls& c = l.calls;
    std::string& f = l.failure;
    find(library, "sqlite3_open_v2", c.open_v2, f);
    find(library, "sqlite3_close", c.close, f);
    find(library, "sqlite3_errmsg", c.errmsg, f);
    find(library, "sqlite3_errstr", c.errstr, f);
    find(library, "sqlite3_extended_result_codes", c.extended_result_codes, f);
    find(library, "sqlite3_busy_timeout", c.busy_timeout, f);
    find(library, "sqlite3_exec", c.exec, f);
    find(library, "sqlite3_free", c.free, f);
    find(library, "sqlite3_prepare_v2", c.prepare_v2, f);
    find(library, "sqlite3_prepare_v3", c.prepare_v3, f);
    find(library, "sqlite3_finalize", c.finalize, f);
    find(library, "sqlite3_reset", c.reset, f);
    find(library, "sqlite3_clear_bindings", c.clear_bindings, f);
    find(library, "sqlite3_step", c.step, f);
    find(library, "sqlite3_bind_int", c.bind_int, f);
    find(library, "sqlite3_bind_int64", c.bind_int64, f);
    find(library, "sqlite3_bind_text", c.bind_text, f);
    find(library, "sqlite3_column_int", c.column_int, f);
    find(library, "sqlite3_column_int64", c.column_int64, f);
    find(library, "sqlite3_column_text", c.column_text, f);
    find(library, "sqlite3_column_bytes", c.column_bytes, f);
    find(library, "sqlite3_last_insert_rowid", c.last_insert_rowid, f);
    // Kept loaded for the rest of the run: the calls point into it.
    return l;
}

const Loaded& loaded() {
    static const Loaded library = load();
    return library;
}

} // namespace

void loadSqlite() {
    if (!loaded().failure.empty())
        throw JournalError(
            JournalError::Kind::Other,
            "SQLite, which keeps the journal, could not be loaded: " + loaded().failure + ".");
}

const SqliteCalls& sqlite() noexcept {
    return loaded().calls;
}

} // namespace vantel::journal
