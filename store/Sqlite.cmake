# sqlite3.dll beside the programs, compiled from the pinned amalgamation that
# tools/fetch-sqlite caches outside git (fetched once, at configure time).
set(PELVANE_SQLITE_CACHE "${CMAKE_SOURCE_DIR}/.cache" CACHE PATH "Folder holding the fetched SQLite amalgamation")
set(PELVANE_SQLITE_DIR "${PELVANE_SQLITE_CACHE}/sqlite-3.53.2")
if(NOT EXISTS "${PELVANE_SQLITE_DIR}/sqlite3.c" OR NOT EXISTS "${PELVANE_SQLITE_DIR}/sqlite3.h")
    execute_process(COMMAND "${CMAKE_SOURCE_DIR}/tools/fetch-sqlite" "${PELVANE_SQLITE_CACHE}"
                    RESULT_VARIABLE fetch_result)
    if(NOT fetch_result EQUAL 0)
        message(FATAL_ERROR "Could not fetch the SQLite amalgamation (tools/fetch-sqlite)")
    endif()
endif()

add_library(sqlite3 SHARED "${PELVANE_SQLITE_DIR}/sqlite3.c")
target_compile_definitions(sqlite3 PRIVATE
    "SQLITE_API=__declspec(dllexport)" SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
set_target_properties(sqlite3 PROPERTIES PREFIX "" OUTPUT_NAME sqlite3)
target_link_options(sqlite3 PRIVATE -static-libgcc)

# The C API's prototypes, for typing the entry points bound at run time.
add_library(sqlite3_headers INTERFACE)
target_include_directories(sqlite3_headers SYSTEM INTERFACE "${PELVANE_SQLITE_DIR}")
