#pragma once
// The main window opens a device's live preview over itself.

#include <QString>

// Shows the preview of a device's stream modally over the main window
// (MainDialogInstance), inset 30/20/30/15 from its frame, with its page logo.
// streamKind: 2 main stream, 3 sub stream. Called after a successful login.
void OpenDevicePreview(const QString& ip, const QString& user, const QString& password, int port,
                       int streamKind);
