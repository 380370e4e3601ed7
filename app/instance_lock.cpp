#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

QString InstanceLockPath(const QString& name) {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty()) return QString::fromLocal8Bit(runtime) + '/' + name + ".lock";
  return QStringLiteral("/tmp/%1-%2.lock").arg(name).arg(getuid());
}

InstanceLockResult AcquireInstanceLock(const QString& name) {
  const QByteArray path = InstanceLockPath(name).toLocal8Bit();
  const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return InstanceLockResult::Unavailable;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return InstanceLockResult::Acquired;  // fd kept open on purpose
  const int err = errno;
  close(fd);
  return err == EWOULDBLOCK ? InstanceLockResult::AlreadyHeld : InstanceLockResult::Unavailable;
}
