#pragma once
#include <QString>

// The process-lifetime lock named "TK_TOOL": an exclusive flock on a file of
// that name in the user's runtime folder. The descriptor is never closed, so
// the lock lasts until the process ends, however it ends.
//
// Unavailable when the file cannot be opened, and when what lies at its name
// is not the user's own plain file (a link, another user's file, a second
// name of some other file): start-up then goes on as a first instance.
enum class InstanceLockResult { Acquired, AlreadyHeld, Unavailable };

InstanceLockResult AcquireInstanceLock(const QString& name);

// Where the lock file of name lives ($XDG_RUNTIME_DIR, else /tmp with the uid).
QString InstanceLockPath(const QString& name);
