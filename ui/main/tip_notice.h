#pragma once
// The main window's notices and questions through the program's message box.
// Texts and title come already translated. Returns 1 for OK, 2 otherwise.

#include <QString>

// On the UI thread.
int ShowTipNotice(const QString& text, const QString& title, bool showCancel, int iconKind);

// From a worker thread: the box runs on the UI thread while the worker waits.
int ShowTipNoticeFromWorker(const QString& text, const QString& title, bool showCancel, int iconKind);
