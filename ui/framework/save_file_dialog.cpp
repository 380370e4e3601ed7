#include "ui/framework/save_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "ui/framework/modal_seam.h"

namespace savefile {

QString AskSavePath(QWidget* owner, const SaveFileRequest& request) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.defaultExtension);
  dialog.setNameFilter(request.filter);
  dialog.selectFile(request.offeredName);
  // Overwrite confirmation is the dialog's default; it stays on.

  modal::ModalRequest r;
  r.kind = QStringLiteral("file-save");
  r.title = dialog.windowTitle();
  r.text = request.offeredName;
  r.defaultResult = QDialog::Rejected;
  if (modal::Exec(dialog, r) != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return {};
  const QString path = files.first();
  if (path.isEmpty() || QFileInfo(path).isDir()) return {};
  return path;
}

}  // namespace savefile
