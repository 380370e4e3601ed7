#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "ui/framework/worker_modal.h"

namespace {

TEST(RunOnUiThread, OnTheUiThreadRunsAtOnce) {
  int runs = 0;
  EXPECT_TRUE(modal::OnUiThread());
  EXPECT_EQ(modal::RunOnUiThread([&] { return ++runs + 40; }), 41);
  EXPECT_EQ(runs, 1);
}

TEST(RunOnUiThread, WorkerWaitsForTheUiThreadsResult) {
  std::atomic<bool> ranOnUiThread{false};
  std::atomic<bool> workerSawUiThread{true};
  std::atomic<int> result{0};
  std::thread worker([&] {
    workerSawUiThread = modal::OnUiThread();
    result = modal::RunOnUiThread([&] {
      ranOnUiThread = QThread::currentThread() == qApp->thread();
      return 7;
    });
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() != 0; }, 5000));
  worker.join();
  EXPECT_EQ(result.load(), 7);
  EXPECT_TRUE(ranOnUiThread);
  EXPECT_FALSE(workerSawUiThread);
}

}  // namespace
