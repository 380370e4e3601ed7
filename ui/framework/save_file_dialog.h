#pragma once
// The platform's file dialog in save mode, opened through the modal seam
// (kind "file-save", text: the name filled in). A test's answerer reaches the
// QFileDialog through the request's dialog, picks a file with selectFile()
// and answers QDialog::Accepted, or answers QDialog::Rejected for Cancel.

#include <QString>

class QWidget;

namespace savefile {

struct SaveFileRequest {
  QString offeredName;       // the file name filled in, with the default extension added
  QString defaultExtension;  // "coi": also added when the user types a name without one
  QString filter;            // "coi Files (*.coi)"
};

// Runs the dialog owned by owner; asks before replacing an existing file.
// Returns the chosen path, or an empty text for Cancel or a choice that
// names no file (a folder).
QString AskSavePath(QWidget* owner, const SaveFileRequest& request);

}  // namespace savefile
