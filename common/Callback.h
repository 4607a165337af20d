#pragma once
// Functions that Windows or SQLite call back (window, subclass and browse
// procedures, enum procedures, collations, the console handler) are noexcept
// and run their body through GuardCallback. An exception that crossed the
// caller's frame would end the 32-bit program at once (its DWARF unwinding
// cannot pass through system code) where the 64-bit one carries it on;
// declared noexcept, both builds stop at the same place, so a test on either
// shows a missing guard.
#include <exception>
#include <utility>

namespace pelvane {

// A test's probe: runs at the start of every guarded callback with the
// callback's name, and may throw to show that nothing crosses the caller's
// frame. The program sets none.
using CallbackProbe = void (*)(const char* callback);
void SetCallbackProbe(CallbackProbe probe);
void RunCallbackProbe(const char* callback);

// Runs body. An exception ends here: report gets its message (nullptr for
// one that is no std::exception) and the callback answers onFailure.
template <typename R, typename Body, typename Report>
R GuardCallback(const char* callback, R onFailure, Body&& body, Report&& report) noexcept {
    try {
        RunCallbackProbe(callback);
        return std::forward<Body>(body)();
    } catch (const std::exception& e) {
        try {
            report(e.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            report(nullptr);
        } catch (...) {
        }
    }
    return onFailure;
}

// For callbacks with nobody to tell (a collation, the console handler).
template <typename R, typename Body>
R GuardCallback(const char* callback, R onFailure, Body&& body) noexcept {
    return GuardCallback(callback, onFailure, std::forward<Body>(body), [](const char*) {});
}

}  // namespace pelvane
