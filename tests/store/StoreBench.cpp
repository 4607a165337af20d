// Opens a table of 10,000 tasks and walks it as a run does, printing the time
// of each step. Usage: store_bench [FOLDER]  (the database is made there).
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/Text.h"
#include "store/TableTaskRows.h"
#include "store/TaskStore.h"

using namespace pelvane;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int kTasks = 10000;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = argc > 1 ? argv[1] : temp;
    std::string path = folder + "\\pelvane-bench.sqb";
    DeleteFileA(path.c_str());
    try {
        {
            TaskStore setup;
            setup.SetDatabaseFile(AnsiToWide(path));
            setup.Connection().ExecuteStatement(
                "create table feladat (feladat integer, forras varchar(255), cel varchar(255));"
                "begin transaction;");
            for (int i = 1; i <= kTasks; ++i)
                setup.Connection().ExecuteStatement("insert into feladat values (" + std::to_string(i) +
                                                    ", 'C:\\Adatok\\Dokumentumok\\Mappa " +
                                                    std::to_string(i) + "', 'E:\\Ment\xE9s\\C\xE9l " +
                                                    std::to_string(i) + "')");
            setup.Connection().ExecuteStatement("commit transaction;");
        }
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        TaskStore store;
        store.SetDatabaseFile(AnsiToWide(path));
        store.Open();
        QueryPerformanceCounter(&t1);
        TableTaskRows rows(store.Table());
        size_t bytes = 0;
        int count = 0;
        for (rows.First(); !rows.Eof(); rows.Next()) {
            bytes += rows.Source().size() + rows.Target().size();
            ++count;
        }
        QueryPerformanceCounter(&t2);
        std::printf("tasks: %d (%zu bytes of paths)\n", count, bytes);
        std::printf("open (connect, load every row): %.1f ms\n", 1000 * Seconds(t0, t1));
        std::printf("walk (First/Next, read forras and cel): %.1f ms\n", 1000 * Seconds(t1, t2));
        std::printf("total: %.1f ms\n", 1000 * Seconds(t0, t2));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "store_bench: %s\n", e.what());
        return 1;
    }
    DeleteFileA(path.c_str());
    return 0;
}
