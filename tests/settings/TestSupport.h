#pragma once
// Scratch folders, file bytes and registry keys for the settings tests.
#include "tests/support/ScratchFolder.h"
#include "tests/support/ScratchKey.h"
