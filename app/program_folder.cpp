#include "app/program_folder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>

QString GetProgramFolder() {
  // /proc/self/exe works before and without a QCoreApplication.
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  QString exe;
  if (n > 0) {
    path[n] = '\0';
    exe = QString::fromLocal8Bit(path);
  } else if (QCoreApplication::instance()) {
    exe = QCoreApplication::applicationFilePath();
  }
  const qsizetype slash = exe.lastIndexOf('/');
  return slash >= 0 ? exe.left(slash + 1) : QStringLiteral("./");
}

QString ConfigIniPath() { return GetProgramFolder() + "Config File/" + "Config/" + "Config.ini"; }
