#pragma once

namespace platform {

// Whether another copy of the viewer is running for this user. The first
// call decides: it takes a lock that a second process sees and that a
// crashed first process does not leave stuck (the lock records its owner's
// process and is taken over when that process is gone).
bool previousInstanceRunning();

// Gives the lock up early, for an exit that skips normal shutdown.
void releaseInstanceLock();

namespace testing {
// Makes previousInstanceRunning() answer `running` without touching the lock.
void setPreviousInstanceRunning(bool running);
} // namespace testing

} // namespace platform
