#pragma once

#include <QtGlobal>

// Hooks into the desktop file operations for their tests.
namespace platform::testing {

// From now on every copy's writes fail with "no space left" once
// `failAfterBytes` bytes of the file are written, as on a full disk; a
// negative value ends the fault.
void setCopyWriteFault(qint64 failAfterBytes);

} // namespace platform::testing
