#include "ui/framework/worker_modal.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace modal {

bool OnUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

int RunOnUiThread(const std::function<int()>& window) {
  if (OnUiThread()) return window();
  int result = 0;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { result = window(); }, Qt::BlockingQueuedConnection);
  return result;
}

}  // namespace modal
