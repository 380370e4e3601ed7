#pragma once
// Widgets live on the UI thread only. When a worker thread has to show a
// modal window (a failure notice, the batch login prompt, a completion
// notice), it hands the whole run to the UI thread and waits for its result,
// so the user sees the same modal window and the worker blocks as it would.
//
// The UI thread must not be waiting for that worker meanwhile (joining it,
// or blocked in a send to it): the hand-over would never run.

#include <functional>

namespace modal {

// Runs `window` (which builds, runs and returns the result of a modal window)
// on the UI thread. On the UI thread itself it runs at once; from any other
// thread the caller blocks until the UI thread has run it. Without an
// application object it runs on the calling thread.
int RunOnUiThread(const std::function<int()>& window);

// Whether the calling thread is the UI thread (true without an application).
bool OnUiThread();

}  // namespace modal
