#pragma once

#include "core/filesystem.h"

// The operating system's files, locks and clock, as the core's FileSystem.
const FileSystem &systemFiles();
