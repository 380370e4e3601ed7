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
  // The default extension is added only to a name without any; an offered
  // name with a dot of its own gets it here, so the file keeps the type the
  // filter names and the overwrite question asks about the file written.
  const QString suffix = QLatin1Char('.') + request.defaultExtension;
  QString shown = request.offeredName;
  if (!request.defaultExtension.isEmpty() && !shown.isEmpty() && !shown.endsWith(suffix, Qt::CaseInsensitive))
    shown += suffix;
  dialog.selectFile(shown);
  // Overwrite confirmation is the dialog's default; it stays on.

  modal::ModalRequest r;
  r.kind = QStringLiteral("file-save");
  r.title = dialog.windowTitle();
  r.text = shown;
  r.defaultResult = QDialog::Rejected;
  if (modal::Exec(dialog, r) != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return {};
  const QString path = files.first();
  if (path.isEmpty() || QFileInfo(path).isDir()) return {};
  return path;
}

}  // namespace savefile
