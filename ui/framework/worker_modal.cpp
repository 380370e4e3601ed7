#include "ui/framework/worker_modal.h"

#include <QCoreApplication>
#include <QThread>

#include "ui/framework/thread_handover.h"

namespace modal {

bool OnUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

int RunOnUiThread(const std::function<int()>& window) {
  int result = 0;
  handover::RunOnUiThread([&] { result = window(); });
  return result;
}

}  // namespace modal
