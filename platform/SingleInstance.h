#pragma once

#include <QString>

#include <functional>

namespace platform {

// Whether another copy of the viewer is running for this user. The first
// call decides: it takes a lock that a second process sees and that a
// crashed first process does not leave stuck (the system lets go of it when
// its process ends, however it ends).
bool previousInstanceRunning();

// Starts answering hand-overs (below), in the copy that took the lock; does
// nothing in any other. Called once the main window is on the screen: the
// socket is a new file, which the first paint need not wait for. A start
// that comes before then waits for it.
void answerHandOvers();

// Gives the lock up early, for an exit that skips normal shutdown.
void releaseInstanceLock();

// Hands a host path to the copy that holds the lock, over a local socket in
// the user's runtime folder. True once the running copy has taken the whole
// path; false when none answers (stuck, or not listening a few seconds after
// its lock was seen), so the caller can fall back to refusing the start.
bool handOverToRunningInstance(const QString &hostPath);

// Where the paths handed to this copy go, one call each, from the event
// loop. Paths that arrive before a receiver is set wait for it.
void setHandOverReceiver(std::function<void(const QString &hostPath)> receive);

namespace testing {
// Makes previousInstanceRunning() answer `running` without touching the lock.
void setPreviousInstanceRunning(bool running);
} // namespace testing

} // namespace platform
