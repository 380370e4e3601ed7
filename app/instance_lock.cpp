#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtGlobal>
#include <cerrno>

QString InstanceLockPath(const QString& name) {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty()) return QString::fromLocal8Bit(runtime) + '/' + name + ".lock";
  return QStringLiteral("/tmp/%1-%2.lock").arg(name).arg(getuid());
}

InstanceLockResult AcquireInstanceLock(const QString& name) {
  const QByteArray path = InstanceLockPath(name).toLocal8Bit();
  // In /tmp anyone may have made the name first. A link there is not
  // followed (it would have the program create or lock a file of another's
  // choosing), and only a plain file of the user's own with no second name
  // is taken: another user's file could be held to keep the program from
  // ever starting, or be swapped later.
  const int fd = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd < 0) return InstanceLockResult::Unavailable;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() || st.st_nlink != 1) {
    close(fd);
    qWarning("the single-instance lock %s is not a file of this user's own; starting without it",
             path.constData());
    return InstanceLockResult::Unavailable;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return InstanceLockResult::Acquired;  // fd kept open on purpose
  const int err = errno;
  close(fd);
  return err == EWOULDBLOCK ? InstanceLockResult::AlreadyHeld : InstanceLockResult::Unavailable;
}
