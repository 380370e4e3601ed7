#pragma once
// The batch-operation page: a check-box tree of the discovered devices on the
// left (filtered by IP with FIND, all again with ALL), five buttons on the
// right that switch between five embedded sub-pages (upgrade, configuration,
// password, ports, reboot). A sub-page asks for a run with a private message;
// the page walks the checked devices and writes each device's result into its
// tree item.
//
// The class is split by responsibility:
//   dlg_operate.cpp         controls, layout, painting, texts, sub-page switching,
//                           the tree (rebuild, filter, check boxes, item texts)
//   batch_runs.cpp          the synchronous runs: reboot, defaults, password, ports
//   device_batch_steps.cpp  the device steps of those runs (user table, port blocks)
//   checked_device_walk.cpp the walk over the checked devices that every run makes
// and the two threaded runs are objects of their own, owned by the page:
//   upgrade_run.h           the firmware upgrade run, its progress and watchdog
//   config_import_run.h     the configuration import run

#include <QBrush>
#include <QColor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "core/device/device_record.h"
#include "ui/controls/skin_button.h"
#include "ui/controls/tree_ctrl.h"
#include "ui/framework/private_messages.h"
#include "ui/operations/batch_page_host.h"
#include "ui/operations/batch_ports_payload.h"
#include "ui/operations/dlg_configuration.h"
#include "ui/operations/dlg_modify_password.h"
#include "ui/operations/dlg_modify_port.h"
#include "ui/operations/dlg_reboot.h"
#include "ui/operations/config_import_run.h"
#include "ui/operations/dlg_upgrade.h"
#include "ui/operations/upgrade_run.h"

class QTreeWidgetItem;

class CDlgOperate : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Control ids of the page's template, kept as object names.
  enum ControlId {
    kIdTitleMarker = 1033,
    kIdDeviceTree = 1087,
    kIdReboot = 1107,
    kIdPassword = 1007,
    kIdPorts = 1169,
    kIdUpgrade = 1108,
    kIdConfiguration = 1109,
    kIdTitle = 1127,
    kIdFindEdit = 1135,
    kIdFind = 1136,
    kIdLeftPanel = 1160,
    kIdAll = 1162,
    kIdRightPanel = 1163,
  };
  // Which sub-page shows (currentPageId).
  enum SubPageId { kPagePassword = 7, kPagePorts = 8, kPageUpgrade = 9, kPageConfiguration = 10, kPageReboot = 11 };
  static constexpr int kWatchdogTimer = 1;
  static constexpr int kWatchdogPeriodMs = 30000;
  // Colours (0x00BBGGRR).
  static constexpr unsigned kPageColour = 0xFFFFFF;
  static constexpr unsigned kPanelColour = 0xF7F5F3;

  CDlgOperate();
  ~CDlgOperate() override;

  // The window that hosts the page hands itself over before it creates the
  // page. Without a host the page shows no devices and starts no run.
  void SetHost(BatchPageHost* host) { host_ = host; }
  BatchPageHost* Host() const { return host_; }
  // Creates the page's window hidden, as a child of parent, and initialises it.
  void Create(QWidget* parent);

  // True while any kind of batch run goes on.
  bool IsBatchBusy() const;
  // Closing the program: the threaded runs are stopped and their workers
  // waited for, the upgrades still open closed, the watchdog stopped.
  void EndRuns();
  // A threaded run's worker has not yet returned.
  bool WorkersRunning() const { return upgradeRun.WorkerRunning() || importRun.WorkerRunning(); }

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // --- layout and looks (dlg_operate.cpp) --------------------------------------
  void LayoutPage();
  void LoadSkins();
  void SetControlTexts();
  // Moves a sub-page's window onto subPageRect.
  void PlaceSubPage(QWidget* subPage);
  void CreateSubPages();
  // One handler per sub-page button; pressing the shown page's button again
  // only repaints the buttons.
  void ShowSubPage(int pageId);
  void OnFind();
  void OnShowAll();
  pm::LRESULT OnLanguageChanged();
  pm::LRESULT OnSearchStarted();
  pm::LRESULT OnSearchFinished();
  pm::LRESULT OnDeviceItemUpdate(pm::WPARAM macText);
  pm::LRESULT OnParentResized();

  // --- the tree (dlg_operate.cpp) ------------------------------------------------
  void InitDeviceTree();
  // Empties the tree and inserts the root and one item per record, in map order.
  void RebuildDeviceTree(CMyTreeCtrl& tree, DeviceMap& map);
  // As the rebuild, with only the records whose IP holds filter; -1 with the
  // tree unchanged for an empty map, no root or an empty filter, else 1.
  int FilterDeviceTree(const std::string& filter, DeviceMap& map);
  // The check-box rules of a click on item's box; the click's own toggle of
  // that box follows.
  void OnTreeClick(QTreeWidgetItem* item);
  // Item text "label  status" (two blanks).
  void SetDeviceItemStatus(QTreeWidgetItem* item, const QString& status);
  // Items of devices an earlier run reached go back to their bare label.
  void ResetDeviceItemTexts();
  static DeviceRecord* RecordOfItem(const QTreeWidgetItem* item);
  static QString DeviceLabel(const DeviceRecord& record);
  // The device items (children of the root), in tree order.
  int DeviceItemCount() const;
  QTreeWidgetItem* DeviceItem(int index) const;

  // --- synchronous runs (batch_runs.cpp) ----------------------------------------
  pm::LRESULT OnBatchReboot();
  pm::LRESULT OnBatchDefaults();
  pm::LRESULT OnBatchPassword(const std::string* oldPassword, const std::string* newPassword);
  pm::LRESULT OnBatchPorts(const BatchPortsPayload* payload);
  void RebootSelected();
  void RestoreDefaultsSelected();
  void ModifyPasswordSelected(const std::string& oldPassword, const std::string& newPassword);
  void ModifyPortsSelected(const BatchPortsPayload& payload);
  // The device has left its login (restart, reset): handle and flag cleared,
  // the device list shows it logged out.
  void MarkLoggedOut(DeviceRecord& record);

  // --- device steps (device_batch_steps.cpp) ------------------------------------
  // The library's result of the user change, -1 when the table cannot be read
  // or holds no entry of the logged-in user. table: kUserTableSize bytes.
  static int ModifyUserPassword(const DeviceRecord& record, const std::string& oldPassword,
                                const std::string& newPassword, uint8_t* table);
  // 1 when at least one of the two port blocks was written (the device then
  // restarts), -1 when none was.
  static int SetDevicePorts(DeviceRecord& record, const BatchPortsPayload& payload);

  // --- threaded runs (upgradeRun, importRun) ----------------------------------------
  pm::LRESULT OnBatchUpgrade() { return upgradeRun.Request(); }
  pm::LRESULT OnBatchConfigImport(const std::string* path) { return importRun.Request(path); }
  pm::LRESULT OnUpgradeProgressMessage(DeviceRecord* record, int value);
  void OnUpgradeWatchdog(int timerId);

  // --- what the runs need of the host ------------------------------------------------
  // The batch login (callable from a run's worker) and the login-state cell.
  int BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user, std::string& password);
  int SetLoginState(std::string mac, int state);
  bool SearchRunning() const;

  // --- state -------------------------------------------------------------------
  struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
  };
  Rect subPageRect;  // the area every sub-page fills, in client coordinates
  QBrush pageBrush{QColor(255, 255, 255)};
  QColor selectedTextColour{255, 255, 255};
  QColor normalTextColour{0, 0, 0};

  CMyTreeCtrl deviceTree;
  QTreeWidgetItem* rootItem = nullptr;
  QGroupBox leftPanel;
  QGroupBox rightPanel;
  QLineEdit findEdit;
  CxSkinButton findButton;
  CxSkinButton allButton;
  QFrame markerBar;
  QLabel titleLabel;
  CxSkinButton rebootButton;
  CxSkinButton passwordButton;
  CxSkinButton portsButton;
  CxSkinButton upgradeButton;
  CxSkinButton configurationButton;

  int currentPageId = 0;
  QWidget* currentPage = nullptr;
  CDlgModifyPort portPage;
  CDlgModifyPassword passwordPage;
  CDlgUpgrade upgradePage;
  CDlgConfiguration configurationPage;
  CDlgReboot rebootPage;

  // The checked devices counted when a run was last requested (UI thread).
  int selectedCount = 0;

  uint8_t showingAll = 1;  // the tree shows every device of the map

  // One flag per kind of synchronous run; 1 while that run goes on. The
  // threaded runs keep theirs (upgradeBusy, importBusy), which their workers
  // clear, hence atomic.
  std::atomic<uint8_t> rebootBusy{0};
  std::atomic<uint8_t> defaultsBusy{0};
  std::atomic<uint8_t> passwordBusy{0};
  std::atomic<uint8_t> portsBusy{0};

  // The threaded runs, with their files, counters and busy flags. They go
  // before the controls they show on.
  UpgradeRun upgradeRun{*this};
  ConfigImportRun importRun{*this};

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RepaintSubPageButtons();
  // Paints one item's new text at once: a run does not return to the event
  // loop between devices.
  void RepaintItemNow(QTreeWidgetItem* item);

  BatchPageHost* host_ = nullptr;
  QTimer watchdogTimer_;
  QTreeWidgetItem* pressedBox_ = nullptr;  // the check box a left press went down on
  bool created_ = false;
};

// The one batch-operation page, set by its constructor; the upgrade progress
// callback posts to it.
extern CDlgOperate* OperatePageInstance;
