#pragma once
// Work handed from a worker thread to the UI thread through Qt's event queue:
// a posted private message, a blocking send, a modal window run for a worker,
// a repaint asked for from a worker.
//
// Qt orders such hand-overs with its own locks, which the thread sanitizer
// cannot see (Qt is not built with it). So the hand-overs here use events of
// our own and a mutex of the standard library, and mark each event with
// Release/Acquire (core/util/thread_marks.h).

#include <functional>

#include "core/util/thread_marks.h"

class QEvent;
class QObject;

namespace handover {

using thread_marks::Acquire;
using thread_marks::Release;

// Runs `call` on the receiver's thread, between its events, and waits until it
// has run. False, with `call` not run, when the receiver was destroyed first.
// The receiver's event() hands every event to RunCall first.
bool CallAndWait(QObject* receiver, const std::function<void()>& call);

// Runs `call` on the UI thread: at once when called there (or before any
// application exists), else handed over and waited for. The UI thread must
// not be waiting for the calling worker meanwhile.
void RunOnUiThread(const std::function<void()>& call);

// Queues `call` for the UI thread and returns at once; it runs only if
// `context` still exists then.
void PostToUiThread(QObject* context, std::function<void()> call);

// Runs the call an event of CallAndWait carries; false for any other event.
bool RunCall(QEvent* event);

// A receiver on the UI thread for calls that belong to no window.
QObject* UiThreadReceiver();

}  // namespace handover
