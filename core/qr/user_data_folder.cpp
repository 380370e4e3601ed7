#include "core/qr/user_data_folder.h"

#include <sys/stat.h>

#include <QStandardPaths>
#include <QString>

#include "core/util/string_util.h"

int GetUserDataFolder(std::string& folder) {
  std::string path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toUtf8().toStdString();
  if (path.empty() || path.find('/') == std::string::npos) return kUserDataFolderMissing;
  if (path.back() != '/') path += '/';

  // Some profiles keep a low-integrity sibling folder; prefer it when present.
  std::string candidate = path;
  ReplaceAll(candidate, "Local", "LocalLow");
  if (DirectoryExists(candidate)) path = candidate;

  folder = path + "Riduzev/";
  return kUserDataFolderFound;
}

void CreateDirectoryTree(const std::string& path) {
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash + 1);
    ::mkdir(prefix.c_str(), 0777);  // an existing directory is no error worth reporting
  }
}
