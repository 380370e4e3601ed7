#include "ui/framework/private_messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include "ui/framework/thread_handover.h"

namespace pm {
namespace {

const QEvent::Type kPrivateMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct PrivateMessageEvent : QEvent {
  PrivateMessageEvent(unsigned m, WPARAM w, LPARAM l) : QEvent(kPrivateMessageEvent), message(m), wParam(w), lParam(l) {}
  unsigned message;
  WPARAM wParam;
  LPARAM lParam;
};

// Receives the queued messages of one receiver on the UI thread.
class MailboxObject : public QObject {
 public:
  explicit MailboxObject(MessageReceiver* owner) : owner_(owner) {
    if (QCoreApplication::instance()) moveToThread(QCoreApplication::instance()->thread());
  }
  bool event(QEvent* e) override {
    if (handover::RunCall(e)) return true;
    if (e->type() != kPrivateMessageEvent) return QObject::event(e);
    auto* m = static_cast<PrivateMessageEvent*>(e);
    handover::Acquire(m);
    owner_->OnPrivateMessage(m->message, m->wParam, m->lParam);
    return true;
  }

 private:
  MessageReceiver* owner_;
};

}  // namespace

MessageReceiver::MessageReceiver() : mailbox_(new MailboxObject(this)) {}

MessageReceiver::~MessageReceiver() { delete mailbox_; }

LRESULT SendPrivateMessage(MessageReceiver* target, unsigned message, WPARAM wParam, LPARAM lParam) {
  if (!target) return 0;
  QObject* box = target->Mailbox();
  // On the receiver's own thread (or before any application exists) a send
  // is a plain call, nested inside whatever handler is running.
  if (!QCoreApplication::instance() || QThread::currentThread() == box->thread())
    return target->OnPrivateMessage(message, wParam, lParam);
  // From another thread the UI thread runs the handler between its events;
  // the sender waits for the value. Should the receiver go away first, the
  // queued call is dropped and the sender gets 0.
  LRESULT result = 0;
  handover::CallAndWait(box, [&] { result = target->OnPrivateMessage(message, wParam, lParam); });
  return result;
}

void PostPrivateMessage(MessageReceiver* target, unsigned message, WPARAM wParam, LPARAM lParam) {
  if (!target) return;
  auto* event = new PrivateMessageEvent(message, wParam, lParam);
  handover::Release(event);
  QCoreApplication::postEvent(target->Mailbox(), event);
}

}  // namespace pm
