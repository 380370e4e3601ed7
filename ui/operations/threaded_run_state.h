#pragma once
// What the page keeps about its threaded runs beyond the counters: when an
// upgrade run may be declared complete, and which workers still run.

#include <atomic>

struct ThreadedRunState {
  // Under the page's statsLock. The walk has ended (by its last device or a
  // cancelled prompt): only then can the counters be complete, since the walk
  // counts the devices it actually reaches.
  bool upgradeWalkDone = false;
  // The run's completion has been declared (busy flag cleared, notice shown):
  // it happens once per run.
  bool upgradeEnded = false;
  // The prompt was cancelled: the run ends without a notice once the upgrades
  // it had started have ended.
  bool upgradeCancelled = false;
  // Upgrade and import workers that have not yet returned (tests wait for 0).
  std::atomic<int> runningWorkers{0};
};
