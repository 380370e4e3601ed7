// Interim body over the modal seam until the message box lands.
#include "ui/main/tip_notice.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include "ui/framework/modal_seam.h"

int ShowTipNotice(const QString& text, const QString& title, bool showCancel, int iconKind) {
  modal::ModalRequest request{"tip", title, text, iconKind, 1, nullptr};
  return modal::Run(request, [&] {
    QMessageBox box(QMessageBox::Information, title, text, showCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                                      : QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? 1 : 2;
  });
}

int ShowTipNoticeFromWorker(const QString& text, const QString& title, bool showCancel, int iconKind) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) return ShowTipNotice(text, title, showCancel, iconKind);
  int result = 2;
  QMetaObject::invokeMethod(
      app, [&] { result = ShowTipNotice(text, title, showCancel, iconKind); }, Qt::BlockingQueuedConnection);
  return result;
}
