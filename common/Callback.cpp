#include "common/Callback.h"

namespace pelvane {
namespace {

CallbackProbe g_probe = nullptr;

}  // namespace

void SetCallbackProbe(CallbackProbe probe) {
    g_probe = probe;
}

void RunCallbackProbe(const char* callback) {
    if (g_probe) g_probe(callback);
}

}  // namespace pelvane
