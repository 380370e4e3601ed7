#include "ui/framework/thread_handover.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace handover {
namespace {

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Where a waiting sender learns that its call has run (or was dropped).
struct Waiter {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool ran = false;
};

// Qt deletes every posted event, delivered or not (a receiver destroyed
// before it ran deletes its pending events), so the destructor is where the
// sender is released.
class CallEvent : public QEvent {
 public:
  CallEvent(std::function<void()> call, std::shared_ptr<Waiter> waiter)
      : QEvent(kCallEvent), call_(std::move(call)), waiter_(std::move(waiter)) {}
  ~CallEvent() override {
    if (!waiter_) return;
    std::lock_guard lock(waiter_->mutex);
    waiter_->finished = true;
    waiter_->ran = ran_;
    waiter_->done.notify_one();
  }
  void Run() {
    Acquire(this);
    call_();
    ran_ = true;
  }

 private:
  std::function<void()> call_;
  std::shared_ptr<Waiter> waiter_;  // shared with the sender, so neither outlives it
  bool ran_ = false;
};

class CallReceiver : public QObject {
 public:
  CallReceiver() {
    if (QCoreApplication* app = QCoreApplication::instance()) moveToThread(app->thread());
  }
  bool event(QEvent* e) override { return RunCall(e) || QObject::event(e); }
};

}  // namespace

bool RunCall(QEvent* event) {
  // Before the event is read at all, its type included: it may be one a
  // worker posted (a private message as well as a call).
  Acquire(event);
  if (event->type() != kCallEvent) return false;
  static_cast<CallEvent*>(event)->Run();
  return true;
}

bool CallAndWait(QObject* receiver, const std::function<void()>& call) {
  const auto waiter = std::make_shared<Waiter>();
  auto* event = new CallEvent([&call] { call(); }, waiter);
  Release(event);
  QCoreApplication::postEvent(receiver, event);
  std::unique_lock lock(waiter->mutex);
  waiter->done.wait(lock, [&] { return waiter->finished; });
  return waiter->ran;
}

void RunOnUiThread(const std::function<void()>& call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    call();
    return;
  }
  CallAndWait(UiThreadReceiver(), call);
}

void PostToUiThread(QObject* context, std::function<void()> call) {
  QPointer<QObject> guard(context);
  auto* event = new CallEvent(
      [guard, call = std::move(call)] {
        if (guard) call();
      },
      nullptr);
  Release(event);
  QCoreApplication::postEvent(UiThreadReceiver(), event);
}

QObject* UiThreadReceiver() {
  static CallReceiver receiver;
  return &receiver;
}

}  // namespace handover
