// The entry of every test program. Standard output is binary: ctest reads
// the list of cases from it, and the C runtime's text mode would end each
// line with a carriage return that then stays in the case's name.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
