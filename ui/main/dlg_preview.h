#pragma once
// The live preview of one device's main or sub stream.

#include <QString>

// Shows the preview of a device's stream modally over the main window.
// streamKind: 2 main stream, 3 sub stream. Called after a successful login.
void OpenDevicePreview(const QString& ip, const QString& user, const QString& password, int port,
                       int streamKind);
