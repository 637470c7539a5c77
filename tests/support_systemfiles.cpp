// Compiled into every test program: the core's files are the system's, as
// the program's main() installs them.
#include "core/filesystem.h"
#include "platform/systemfiles.h"

namespace {

const bool g_installed = [] {
    FileSystem::install(systemFiles());
    return true;
}();

} // namespace
