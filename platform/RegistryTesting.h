#pragma once

#include <QtGlobal>

// Hooks into the file-backed registry for its tests.
namespace platform::testing {

// From now on every hive write stops after `failAfterBytes` bytes, as a full
// disk or a crash would stop it; a negative value ends the fault.
void setHiveWriteFault(qint64 failAfterBytes);

// Key handles opened and not yet closed.
int openKeyCount();

} // namespace platform::testing
