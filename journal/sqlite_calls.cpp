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

template <class Call> void find(void* library, const char* name, Call& call, std::string& failure) {
    call = reinterpret_cast<Call>(dlsym(library, name));
    if (!call && failure.empty()) failure = std::string(kSqliteLibrary) + " has no " + name;
}

Loaded load() {
    Loaded l;
    void* library = dlopen(kSqliteLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        l.failure = why ? why : kSqliteLibrary;
        return l;
    }
#define VANTEL_SQLITE_CALL(name) find(library, "sqlite3_" #name, l.calls.name, l.failure);
    VANTEL_SQLITE_CALLS(VANTEL_SQLITE_CALL)
#undef VANTEL_SQLITE_CALL
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
