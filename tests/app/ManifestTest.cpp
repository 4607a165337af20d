// The manifest as it is built into Pelvane.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Seged.h"

using namespace pelvane;

namespace {

std::string BuiltManifest() {
    HMODULE exe = LoadLibraryExW((AppDir() + L"\\Pelvane.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!exe) return "<no Pelvane.exe>";
    std::string text = "<no manifest>";
    if (HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {  // RT_MANIFEST
        if (HGLOBAL data = LoadResource(exe, found))
            text.assign(static_cast<const char*>(LockResource(data)), SizeofResource(exe, found));
    }
    FreeLibrary(exe);
    return text;
}

}  // namespace

// Windows never starts a program that asks for elevation from the Run key at
// logon: for an administrator the autostart and the schedules would do nothing.
TEST(Manifest, RunsAsInvokedAndKeepsTheThemedControls) {
    const std::string manifest = BuiltManifest();
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\"")) << manifest;
    EXPECT_EQ(std::string::npos, manifest.find("highestAvailable"));
    EXPECT_EQ(std::string::npos, manifest.find("requireAdministrator"));
    EXPECT_NE(std::string::npos,
              manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""))
        << manifest;
}
