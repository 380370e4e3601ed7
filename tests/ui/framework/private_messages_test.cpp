#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

#include "ui/framework/private_messages.h"

namespace {

using namespace pm;

// A page that records what arrives, and can act inside its handler.
class RecordingPage : public MessageReceiver {
 public:
  LRESULT OnPrivateMessage(unsigned message, WPARAM wParam, LPARAM lParam) override {
    log.push_back({message, wParam});
    ++depth;
    if (onMessage) onMessage(message, wParam, lParam);
    maxDepth = std::max(maxDepth, depth);
    --depth;
    return static_cast<LRESULT>(wParam) * 10 + lParam;
  }
  struct Entry {
    unsigned message;
    WPARAM wParam;
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> log;
  std::function<void(unsigned, WPARAM, LPARAM)> onMessage;
  int depth = 0;
  int maxDepth = 0;
};

void Drain() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

TEST(PrivateMessages, ValuesOfTheMessageTable) {
  const struct {
    unsigned value;
    unsigned expected;
  } table[] = {
      {WM_UPGRADE_PROGRESS, 0x401},      {WM_LANGUAGE_CHANGED, 0x403},     {WM_DEVINFO_MASK_CHANGED, 0x404},
      {WM_REQUEST_SEARCH, 0x405},        {WM_SEARCH_STARTED, 0x405},       {WM_SEARCH_FINISHED, 0x406},
      {WM_BATCH_PASSWORD, 0x407},        {WM_BATCH_PORTS, 0x408},          {WM_BATCH_UPGRADE, 0x409},
      {WM_BATCH_CONFIG_IMPORT, 0x40A},   {WM_BATCH_DEFAULTS, 0x40B},       {WM_BATCH_REBOOT, 0x40C},
      {WM_DEVICE_ITEM_UPDATE, 0x40D},    {WM_PARENT_RESIZED, 0x40E},       {WM_SEARCH_SETTINGS_CHANGED, 0x410},
      {WM_CAPACITY_ADD_CHANNEL, 0x411},  {WM_CAPACITY_MODIFY_CHANNEL, 0x412}, {WM_DEVICE_PORTS_CHANGED, 0x413},
  };
  for (const auto& row : table) EXPECT_EQ(row.value, row.expected);
}

TEST(PrivateMessages, SendOnTheUiThreadRunsTheHandlerBeforeReturning) {
  RecordingPage page;
  EXPECT_EQ(SendPrivateMessage(&page, WM_BATCH_REBOOT, 4, 2), 42);
  ASSERT_EQ(page.log.size(), 1u);
  EXPECT_EQ(page.log[0].message, WM_BATCH_REBOOT);
  EXPECT_EQ(SendPrivateMessage(nullptr, WM_BATCH_REBOOT), 0);
}

TEST(PrivateMessages, PostLandsAfterTheCurrentHandlerReturns) {
  RecordingPage page;
  page.onMessage = [&](unsigned message, WPARAM, LPARAM) {
    if (message == WM_REQUEST_SEARCH) {
      PostPrivateMessage(&page, WM_SEARCH_FINISHED, 1);
      page.log.push_back({0, 99});  // still inside the handler
    }
  };
  SendPrivateMessage(&page, WM_REQUEST_SEARCH, 0);
  ASSERT_EQ(page.log.size(), 2u) << "not delivered during the send";
  Drain();
  ASSERT_EQ(page.log.size(), 3u);
  EXPECT_EQ(page.log[2].message, WM_SEARCH_FINISHED);
  EXPECT_EQ(page.maxDepth, 1) << "never nested inside the handler that posted it";
}

TEST(PrivateMessages, PostsKeepTheirOrderFromOneThreadAndFromAWorker) {
  RecordingPage page;
  for (WPARAM i = 0; i < 50; ++i) PostPrivateMessage(&page, WM_UPGRADE_PROGRESS, i);
  std::thread worker([&] {
    for (WPARAM i = 50; i < 100; ++i) PostPrivateMessage(&page, WM_UPGRADE_PROGRESS, i);
  });
  worker.join();
  Drain();
  ASSERT_EQ(page.log.size(), 100u);
  for (WPARAM i = 0; i < 100; ++i) EXPECT_EQ(page.log[i].wParam, i);
}

TEST(PrivateMessages, SendFromAWorkerWaitsForTheHandlersValueOnTheUiThread) {
  RecordingPage page;
  std::atomic<bool> handledOnUiThread{false};
  page.onMessage = [&](unsigned, WPARAM, LPARAM) {
    handledOnUiThread = QThread::currentThread() == qApp->thread();
  };
  std::atomic<LRESULT> result{-1};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    result = SendPrivateMessage(&page, WM_SEARCH_FINISHED, 7, 3);
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(result.load(), 73);
  EXPECT_TRUE(handledOnUiThread);
}

TEST(PrivateMessages, WorkersPostThenSendArriveInThatOrder) {
  RecordingPage page;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    PostPrivateMessage(&page, WM_UPGRADE_PROGRESS, 1);
    SendPrivateMessage(&page, WM_SEARCH_FINISHED, 2);
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  Drain();
  const std::vector<RecordingPage::Entry> expected{{WM_UPGRADE_PROGRESS, 1}, {WM_SEARCH_FINISHED, 2}};
  EXPECT_EQ(page.log, expected);
}

TEST(PrivateMessages, PostsToADestroyedReceiverAreDropped) {
  auto* page = new RecordingPage;
  PostPrivateMessage(page, WM_UPGRADE_PROGRESS, 1);
  delete page;
  Drain();  // must not reach the deleted page
  SUCCEED();
}

}  // namespace
