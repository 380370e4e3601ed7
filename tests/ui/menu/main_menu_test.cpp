// The left menu in the main window: page switching, the pinned buttons, the
// settings dialog over the disabled window, layout and tooltips.
#include <QFile>
#include <QTest>
#include <functional>
#include <QTemporaryDir>

#include "core/language/language.h"
#include "tests/ui/devinfo/device_page_fixture.h"
#include "ui/main/dlg_main_menu.h"

namespace devlist_test {
namespace {

class MainMenu : public DevicePageTest {
 protected:
  void SetUp() override {
    DevicePageTest::SetUp();
    menu = &Main().menuPage;
  }
  // forcedState of DEV INFO, OPERATE, CAPACITY, SETTING.
  std::vector<int> Pinned() const {
    return {menu->devInfoButton.forcedState, menu->operateButton.forcedState, menu->capacityButton.forcedState,
            menu->settingButton.forcedState};
  }
  CDlgMainMenu* menu = nullptr;
};

TEST_F(MainMenu, StartsWithTheDeviceListInViewAndItsButtonPinned) {
  EXPECT_TRUE(menu->isVisibleTo(&Main()));
  EXPECT_TRUE(page->isVisibleTo(&Main()));
  EXPECT_EQ(Main().currentPageIndex, 0);
  EXPECT_EQ(Main().currentPage, page);
  EXPECT_EQ(Pinned(), std::vector<int>({1, 0, 0, 0}));
}

TEST_F(MainMenu, PlacedOnTheLeftEdgeWithItsButtons) {
  const QRect client = Main().contentsRect();
  EXPECT_EQ(menu->geometry(), QRect(client.left(), client.top() + 59, 60, client.height() - 58));
  EXPECT_EQ(menu->devInfoButton.geometry(), QRect(0, 120, 60, 60));
  EXPECT_EQ(menu->operateButton.geometry(), QRect(0, 180, 60, 60));
  EXPECT_EQ(menu->capacityButton.geometry(), QRect(0, 240, 60, 60));
  EXPECT_EQ(menu->settingButton.geometry(), QRect(0, menu->height() - 60, 60, 60));
}

TEST_F(MainMenu, PageButtonsSwitchThePageAndThePin) {
  menu->operateButton.click();
  EXPECT_EQ(Main().currentPageIndex, 3);
  EXPECT_EQ(Main().currentPage, &Main().operatePage);
  EXPECT_FALSE(page->isVisibleTo(&Main()));
  EXPECT_TRUE(Main().operatePage.isVisibleTo(&Main()));
  EXPECT_EQ(Pinned(), std::vector<int>({0, 1, 0, 0}));

  menu->capacityButton.click();
  EXPECT_EQ(Main().currentPageIndex, 14);
  EXPECT_FALSE(Main().operatePage.isVisibleTo(&Main()));
  EXPECT_TRUE(Main().capacityPage.isVisibleTo(&Main()));
  EXPECT_EQ(Pinned(), std::vector<int>({0, 0, 1, 0}));

  menu->devInfoButton.click();
  EXPECT_EQ(Main().currentPageIndex, 0);
  EXPECT_TRUE(page->isVisibleTo(&Main()));
  EXPECT_FALSE(Main().capacityPage.isVisibleTo(&Main()));
  EXPECT_EQ(Pinned(), std::vector<int>({1, 0, 0, 0}));
}

TEST_F(MainMenu, FinishNoticeFollowsThePageInView) {
  const auto prepare = [&] {
    Main().deviceMap.clear();
    InsertFirstByMac(Main().deviceMap, MakeDevice("00:00:00:00:00:01", "10.0.0.1"));
    InsertFirstByMac(Main().deviceMap, MakeDevice("00:00:00:00:00:02", "10.0.0.2"));
    Main().searchResultCount = 2;
    pm::SendPrivateMessage(page, pm::WM_SEARCH_STARTED);
  };
  menu->operateButton.click();
  prepare();
  Main().UpdateDeviceCount();
  EXPECT_EQ(page->RowCount(), 0);  // posted to the hidden device list page
  ProcessUntil([&] { return page->RowCount() == 2; });
  EXPECT_EQ(page->RowCount(), 2);

  menu->capacityButton.click();  // only the batch page's index changes the route
  prepare();
  Main().UpdateDeviceCount();
  EXPECT_EQ(page->RowCount(), 2);  // sent: refilled before the call returns
  QCoreApplication::processEvents();
}

TEST_F(MainMenu, ButtonOfThePageInViewChangesNothing) {
  menu->devInfoButton.click();
  menu->devInfoButton.click();
  EXPECT_EQ(Main().currentPage, page);
  EXPECT_TRUE(page->isVisibleTo(&Main()));
  EXPECT_FALSE(Main().operatePage.isVisibleTo(&Main()));
  EXPECT_EQ(Pinned(), std::vector<int>({1, 0, 0, 0}));
}

TEST_F(MainMenu, SettingOpensTheDialogOverTheDisabledWindowAndKeepsThePage) {
  menu->operateButton.click();
  menu->settingButton.click();
  EXPECT_FALSE(Main().isEnabled());
  EXPECT_TRUE(Main().settingDialog.isVisible());
  EXPECT_EQ(Pinned(), std::vector<int>({0, 1, 0, 1}));
  EXPECT_EQ(Main().currentPageIndex, 3);
  Main().settingDialog.hide();
  Main().setEnabled(true);
}

TEST_F(MainMenu, ClosingTheSettingsDialogGivesTheWindowBack) {
  // Each way out: its close button, Cancel, OK, the platform's close command.
  const std::function<void()> closers[] = {
      [this] { Main().settingDialog.closeButton.click(); },
      [this] { Main().settingDialog.cancelButton.click(); },
      [this] { Main().settingDialog.okButton.click(); },
      [this] { Main().settingDialog.close(); },
  };
  for (const auto& close : closers) {
    menu->settingButton.click();
    ASSERT_TRUE(Main().settingDialog.isVisible());
    ASSERT_FALSE(Main().isEnabled());
    close();
    EXPECT_FALSE(Main().settingDialog.isVisible());
    EXPECT_TRUE(Main().isEnabled());
    EXPECT_EQ(Pinned(), std::vector<int>({1, 0, 0, 0}));
    Main().setEnabled(true);
  }
  const QRect close = Main().settingDialog.closeButton.geometry();
  EXPECT_EQ(close, QRect(Main().settingDialog.client.width() - 24, 6, 20, 20));  // client coordinates
}

TEST_F(MainMenu, ParentResizeKeepsSettingAtTheBottom) {
  Main().resize(1400, 900);
  pm::SendPrivateMessage(menu, pm::WM_PARENT_RESIZED);
  EXPECT_EQ(menu->height(), Main().contentsRect().height() - 58);
  EXPECT_EQ(menu->settingButton.y(), menu->height() - 60);
  EXPECT_EQ(menu->devInfoButton.y(), 120);
  EXPECT_EQ(menu->capacityButton.y(), 240);
  pm::SendPrivateMessage(page, pm::WM_PARENT_RESIZED);
  const QRect client = Main().contentsRect();
  EXPECT_EQ(page->geometry(), QRect(client.left() + 60, client.top() + 60, client.width() - 60,
                                    client.height() - 60));
  EXPECT_EQ(page->deviceList.geometry(), QRect(10, 66, page->width() - 20, page->height() - 76));
}

TEST_F(MainMenu, LanguageChangeReplacesTheTooltipsAtOnce) {
  EXPECT_EQ(menu->settingButton.toolTip(), "tx.Sys_set");
  QTemporaryDir dir;
  QFile f(dir.filePath("t.lang"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[String]\nmenu.Dev_info=Devices\ntx.Sys_set=System settings\n");
  f.close();
  ASSERT_TRUE(GetThreadLanguage()->LoadFile(dir.filePath("t.lang"), 1));
  pm::SendPrivateMessage(menu, pm::WM_LANGUAGE_CHANGED);
  EXPECT_EQ(menu->devInfoButton.toolTip(), "Devices");
  EXPECT_EQ(menu->settingButton.toolTip(), "System settings");
  EXPECT_EQ(menu->operateButton.toolTip(), "menu.Batch_Operate");
  GetThreadLanguage()->LoadFile("", 1);
}

}  // namespace
}  // namespace devlist_test
