#pragma once
// The device list page: one row per discovered device, fourteen columns,
// sorting by header click, the FIND/ALL filter, NET, EXPORT and SEARCH, the
// device count and the QR picture of the clicked device's cloud id. It also
// holds the running flags through which the main window, its timer and the
// other pages decide whether a search may start, and the login routines that
// the batch runs share.
//
// The class is split by responsibility:
//   dlg_dev_info.cpp            controls, layout, messages, list filling, sort, FIND/ALL
//   dlg_dev_info_commands.cpp   web page, clipboard, QR picture, NET
//   device_login.cpp            login prompt use, batch login, login state, retiring a login
//   device_network_change.cpp   the network change of one device
//   device_commands.cpp         the right-click menu, EXPORT, login and preview commands
//   device_model_change.cpp     the model name change of one device

#include <QBrush>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "core/device/device_record.h"
#include "core/lanconfig/lan_endpoints.h"
#include "ui/controls/color_list.h"
#include "ui/controls/skin_button.h"
#include "ui/devicelist/device_list_host.h"
#include "ui/framework/private_messages.h"
#include "ui/devicelist/dlg_preview.h"

class CDlgDevInfo : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Control ids of the page's template, kept as object names so tests and
  // readers find each control by the id the design gives it.
  enum ControlId {
    kIdList = 1000,
    kIdSearch = 1001,
    kIdCountLabel = 1029,
    kIdCount = 1112,
    kIdSeparator1 = 1114,
    kIdFilterEdit = 1135,
    kIdFind = 1136,
    kIdAll = 1162,
    kIdNet = 1178,
    kIdExport = 1184,
    kIdSeparator2 = 1235,
    kIdQrPicture = 1255,
  };

  explicit CDlgDevInfo(QWidget* parent = nullptr);
  ~CDlgDevInfo() override;

  // The window that hosts the page hands itself over before it creates the
  // page. Without a host the page shows no devices and asks for no search.
  void SetHost(DeviceListHost* host) { host_ = host; }
  // Makes the page a hidden child of parent and initialises it (placement,
  // layout, skins, columns, texts). The main window calls it once, after the
  // configuration and the language are loaded.
  bool Create(QWidget* parent);

  // The search command: SEARCH, the first search after start-up and the
  // periodic timer (which sets searchFromTimer right before) come through here.
  void RequestSearch();
  // Work that holds records of the device map runs: a batch run, a network
  // change, or a command on one device. No search may start meanwhile.
  bool DeviceWorkRunning() const;

  // Handed over by the main window when it creates the pages.
  void SetModifyModelMode(bool mode) { modifyModelMode = mode ? 1 : 0; }
  // Takes the main window's column mask as the one in force (columns 1..13
  // shown or hidden by it); masks 0 and 1 are ignored.
  void SetColumnMask(int mask) { ApplyColumnMask(mask); }

  // --- the list ---------------------------------------------------------------
  void FillDeviceList(const DeviceMap& map);
  void AddDeviceRow(DeviceRecord* record);
  // Rows of map whose shown columns hold text; -1 without change for an empty
  // map or text, else 1. The count keeps the number of the last full fill.
  int FilterDeviceList(DeviceMap& map, const std::string& text);
  void ApplyColumnMask(int mask);
  void OnDeviceColumnClick(int column);
  void RefreshPortColumns();
  int RowCount() const;
  DeviceRecord* RecordAt(int row) const;
  QString CellText(int row, int column) const;
  void SetCellText(int row, int column, const QString& text);
  // The first selected row in list order, or -1.
  int FirstSelectedRow() const;

  // --- commands on one device ------------------------------------------------
  void OpenDeviceWebPage(int row);
  void CopyCellToClipboard(int row, int column);
  void ShowCloudIdQrCode(const std::string& text);
  void OnDeviceListClick(int row);
  void OnDeviceListDblClk(int row, int column);
  void OnFind();
  void OnShowAll();
  void OnNetworkButton();
  // Refuses a header divider drag (true) on a hidden column.
  bool OnHeaderBeginDrag(int column) const;

  // --- login (device_login.cpp) ----------------------------------------------
  // Logs in the device of a row, asking for credentials each time. 1 logged in
  // (error -10 when it already was), -1 refused or no device, -2 cancelled.
  int LoginDevice(int row, DeviceRecord** record, int* error);
  // Login for batch runs: one prompt per run (askCredentials), the same
  // credentials for every further device. 1 logged in, -1 refused, -2 cancelled.
  // Callable from a run's worker: the record is read and written on the UI
  // thread, and a login the user made meanwhile is kept (the run's own is
  // logged out again).
  int BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                 std::string& password);
  // Sets the logged-in flag and the login-state cell of the row showing mac.
  // 1 when a row was found, -1 otherwise. Callable from a batch worker thread.
  int SetLoginState(std::string mac, int state);
  // Sets a device's login aside after a network change. Always 1.
  int RetireDeviceLogin(DeviceRecord* record, int row);
  // The notice of a refused login, with the library's error code.
  static void ShowLoginFailure(int error);

  // --- network change (device_network_change.cpp) ----------------------------
  void ModifyDeviceNetwork(int row);

  // --- the right-click menu and its commands (device_commands.cpp) -------------
  // A right-click on a row's column: the menu, then the chosen command, unless
  // a batch runs. A row below the last (-1) or without a device gets no menu.
  void OnDeviceListRightClick(int row, int column);
  void OnExportButton();  // exports the first selected row
  void ExportDeviceConfig(int row);
  void LoginDeviceCommand(int row);
  void PreviewDeviceStream(int row, int streamKind);  // 2 main stream, 3 sub stream

  // --- model name change (device_model_change.cpp) ----------------------------
  void ModifyDeviceModel(int row);

  // The login a command on one device starts with: the record when logged in;
  // null after a cancelled prompt (silent) or a refused login (its notice).
  // error gets the library's code (-10: the device was logged in already).
  DeviceRecord* LoginForCommand(int row, int* error = nullptr);
  // The first selected row for NET and EXPORT, or -1 after the notice that
  // refuses the command (a batch runs, or no row is selected).
  int SelectedRowForCommand();

  // Opens the live preview (ip, user, password, TCP port, stream kind): the
  // window that hosts the page places it; tests put a recorder in its place.
  std::function<void(const QString&, const QString&, const QString&, int, int)> openPreview;

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // Running flags (plain bytes, UI thread only).
  uint8_t networkChangeRunning = 0;  // a network change runs (Quit reads it)
  uint8_t deviceCommandRunning = 0;  // the right-click menu and its command run
  uint8_t searchFromTimer = 0;       // the next RequestSearch comes from the timer
  uint8_t modifyModelMode = 1;
  uint8_t listShowingAll = 0;
  int shownColumns = 0x23FF;

  // Where the network change's datagrams go: the protocol's broadcast
  // addresses and ports; tests point them at loopback.
  lanconfig::LanEndpoints lanEndpoints;

  // Colours (0x00BBGGRR).
  static constexpr unsigned kTextColour = 0x000000;
  static constexpr unsigned kBackgroundColour = 0xFFFFFF;

  // The controls, reachable for the right-click menu and for tests.
  CMyColorListCtrlEx deviceList;
  QLineEdit filterEdit;
  CxSkinButton findButton;
  CxSkinButton allButton;
  CxSkinButton netButton;
  CxSkinButton exportButton;
  CxSkinButton searchButton;
  QFrame separator1;
  QFrame separator2;
  QLabel countLabel;
  QLabel countText;
  QLabel qrPicture;
  QPixmap qrBitmap;  // the picture shown in qrPicture; empty when none

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OnInitDialog();
  void LayoutDevicePage();
  void LoadSkins();
  void InitDeviceColumns();
  void SetDevicePageTexts();
  void RetitleDeviceColumns();
  void OnSearchStarted();
  pm::LRESULT OnSearchFinished();
  void ClearQrPicture();
  void ClearRows();
  bool BatchBusy() const;

  DeviceListHost* host_ = nullptr;
  bool created_ = false;
};
