// Linked whole into the desktop's programs and the tests of the stand-in: the desktop backend
// is installed before main runs, so the first Win32 call finds it.
#include "platform/desktop/desktop.h"

namespace {

[[maybe_unused]] const bool kInstalled = (standin::UseBackend(&standin::desktop::Table()), true);

}  // namespace
