#include "core/ini/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

namespace ini {
namespace {

bool WriteAll(int fd, const char* data, qsizetype size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= n;
  }
  return true;
}

void SyncFolder(const QByteArray& folder) {
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& contents) {
  QFileInfo info(path);
  QString target = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
  if (target.isEmpty()) target = info.absoluteFilePath();  // dangling link: replace the link itself
  const QByteArray targetBytes = QFile::encodeName(target);
  const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());

  mode_t mode = 0644;
  struct stat st{};
  if (::stat(targetBytes.constData(), &st) == 0) mode = st.st_mode & 07777;

  QByteArray temp = targetBytes + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  (void)::fchmod(fd, mode);  // mkstemp makes 0600; keep what the old file had
  bool ok = WriteAll(fd, contents.constData(), contents.size()) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.constData(), targetBytes.constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace ini
