#pragma once
// The main window: frameless, with its own dark title band; hosts every page,
// owns the device map and the settings, runs searches and is the hub of the
// private messages the pages send it.
//
// It hosts the device list page and the batch page: what they need of the
// window (the device records, the search, each other's messages) they reach
// through the host interfaces it hands them, never through this class.
//
// The class is split by responsibility over four files:
//   divarod_dlg.cpp          the frame: construction, title band, pages, Quit, MAX
//   page_hosts.cpp           what the window hands its pages
//   search_worker.cpp        one search on its worker thread
//   search_orchestration.cpp starting searches, timer 101, settings messages

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QTimer>
#include <QLabel>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/device/device_record.h"
#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"
#include "ui/framework/title_band.h"
#include "ui/devicelist/device_list_host.h"
#include "ui/devicelist/dlg_dev_info.h"
#include "ui/main/dlg_main_menu.h"
#include "ui/main/main_config.h"
#include "ui/main/search_settings_payload.h"
#include "ui/operations/batch_page_host.h"
#include "ui/operations/dlg_operate.h"
#include "ui/tools/dlg_capacity_calculator.h"
#include "ui/tools/dlg_setting.h"

class CDivarodDlg : public QDialog, public pm::MessageReceiver, public DeviceListHost, public BatchPageHost {
  Q_OBJECT
 public:
  // Geometry of the frame, in pixels.
  static constexpr int kWidth = 1090;
  static constexpr int kHeight = 700;
  static constexpr int kBorder = 1;      // the thin border around the client area
  static constexpr int kTitleBand = 60;  // client y up to which a press drags the window
  static constexpr int kPeriodicSearchTimer = 101;
  static constexpr int kBatchPageIndex = 3;

  explicit CDivarodDlg(QWidget* parent = nullptr);
  ~CDivarodDlg() override;

  // --- the frame (divarod_dlg.cpp) -----------------------------------------
  // Runs once, when the window is first shown: configuration, skins,
  // language, size, pages, the first search request, timer 101.
  bool OnInitDialog();
  void LoadConfiguration();
  // The client area (inside the border) in the window's own coordinates;
  // pages place themselves in it.
  QRect ClientRect() const { return rect().adjusted(kBorder, kBorder, -kBorder, -kBorder); }
  void LayoutControls(const QRect& windowRect);
  void CreatePages();
  void LoadSkinImages();
  void OnQuit();
  void OnMinimize();
  void OnMaximize();
  void OnHelp();

  // --- one search (search_worker.cpp) --------------------------------------
  // The worker's body: 1 after a search that found devices, 0 after a failed
  // or empty one. Runs on the search thread that OnSearch starts; it fills a
  // map of its own and hands it over with the finish notices.
  int SearchThreadProc();
  // Erases the records that the configured customer code excludes. Returns 1.
  int FilterDevicesByCustomer(DeviceMap& map);
  // On the UI thread, at the end of a search: the worker's records become
  // the device map, the pages are told, the searching flag is cleared.
  void TakeSearchResult(DeviceMap found, int count);
  // Tells the two pages that the search finished: sent to the page in view,
  // posted to the other. Returns 1.
  int UpdateDeviceCount();

  // --- orchestration (search_orchestration.cpp) ----------------------------
  // Starts one search, unless one runs or device work holds records of the
  // map (a batch run, a network change, a command on one device): a request
  // is tested where it is carried out, since it may have been posted before
  // that work began and reach the window inside the work's modal loop.
  void OnSearch();
  void LogoutAllDevices();
  pm::LRESULT OnRequestSearch(pm::WPARAM wParam, pm::LPARAM lParam);
  void OnTimer(int timerId);
  pm::LRESULT OnLanguageChanged(pm::WPARAM index, pm::LPARAM lParam);
  void ApplyLanguage(int index);
  pm::LRESULT OnDevInfoMaskChanged(pm::WPARAM mask, pm::LPARAM lParam);
  pm::LRESULT OnSearchSettingsChanged(pm::WPARAM payload, pm::LPARAM lParam);
  // Starts timer 101 with the stored period, or stops it when periodic search is off.
  void RestartPeriodicSearchTimer();
  bool PeriodicSearchTimerActive() const { return periodicSearchTimer_.isActive(); }
  int PeriodicSearchTimerRemainingMs() const { return periodicSearchTimer_.remainingTime(); }

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // --- what the pages get of the window (page_hosts.cpp) ----------------------
  DeviceMap& DeviceRecords() override { return deviceMap; }
  int LastSearchCount() const override { return searchResultCount; }
  RetiredLoginHandles& RetiredLogins() override { return retiredLoginHandles; }
  bool BatchRunBusy() const override;
  pm::MessageReceiver* SearchReceiver() override { return this; }
  pm::MessageReceiver* BatchPage() override;
  int ColumnMask() const override { return config.columnMask; }
  QString UserDataFolder() const override { return config.userDataFolder; }
  QFont CountFont() const override { return largeFont; }
  bool SearchRunning() const override { return searching.load(); }
  int BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                 std::string& password) override;
  int SetLoginState(std::string mac, int state) override;
  pm::MessageReceiver* DeviceListPage() override;
  QString ConfigIniPath() const override { return config.configIniPath; }

  // --- the pages, in order of creation --------------------------------------
  CDlgCapacityCalculator capacityPage;
  CDlgOperate operatePage;
  CDlgMainMenu menuPage;
  CDlgDevInfo devInfoPage;
  CDlgSetting settingDialog;

  // Current page: 0 and the device list page after start-up; the left menu
  // switches them. Index 3 is the batch-operation page. Read when a search's
  // result is taken in, to send the finish notice to the page in view.
  std::atomic<int> currentPageIndex{0};
  QWidget* currentPage = nullptr;

  // Where the search notices go: the device list page and the batch page.
  // Tests point them at receivers of their own.
  pm::MessageReceiver* searchNoticeDevicePage = &devInfoPage;
  pm::MessageReceiver* searchNoticeBatchPage = &operatePage;

  // --- devices ---------------------------------------------------------------
  // The library's discovery buffer (1024 records of 436 bytes), used by the
  // search worker only, and the count of the last search (0 after a failed
  // one), set with the search's result.
  std::vector<uint8_t> searchBuffer;
  int searchResultCount = 0;
  // The device map and every record in it belong to the UI thread: pages,
  // runs and commands read and change records there only (workers hand
  // their reads and results over, docs/architecture.md).
  DeviceMap deviceMap;
  RetiredLoginHandles retiredLoginHandles;
  // Set from the start of a search until its result was taken in; Quit tests it.
  std::atomic<bool> searching{false};

  // --- settings (loaded from Config.ini) -------------------------------------
  // Paths and every setting. config.programFolder, when set before the window
  // is first shown, replaces the running program's folder (tests give each
  // window a folder of its own).
  MainConfig config;
  QIcon icon;        // Skin/Logo.ico; null when it does not load
  QPixmap pageLogo;  // Skin/Pagelogo.png; null when it does not load
  QPixmap helpBitmap;  // Skin/Help.bmp at 640 x 528; null when it does not load

  // --- look -------------------------------------------------------------------
  static constexpr unsigned kTextColour = 0xFFFFFF;        // 0x00BBGGRR
  static constexpr unsigned kBackgroundColour = 0x313131;
  QFont largeFont;       // Tahoma 34, the device count
  QFont calculatorFont;  // Tahoma 22, weight 600

  bool maximized = false;
  QRect savedRect;  // screen coordinates, taken when maximising

 protected:
  void setVisible(bool visible) override;
  void paintEvent(QPaintEvent* event) override;

 public:
  // Ends the modal run; the platform's own close command (Alt+F4) comes here
  // too. The batch runs are cancelled and their workers and the search worker
  // waited for, so that the program never ends under a worker and no worker
  // calls the device library once the window has closed.
  void done(int result) override;

 private:
  void EndWorkers();
  void WaitForSearchToEnd();

  QLabel logoPicture_;
  QLabel titleText_;
  CxSkinButton quitButton_;
  CxSkinButton maxButton_;
  CxSkinButton minButton_;
  CxSkinButton helpButton_;
  // Presses with a client y up to 60 (widget rows 0..61, the border included).
  titleband::TitleBand titleBand_{this, kBorder + kTitleBand + 1};
  QTimer periodicSearchTimer_;
  std::thread searchThread_;
  bool initialised_ = false;
};

// The one main window, set by start-up before the window runs and never
// cleared (a test that builds a main window sets and clears it). The pages do
// not use it: they reach the main window through the host it hands them. Only
// the main window's own parts do: the left menu, to switch pages and open the
// settings dialog, and OpenDevicePreview, to place the preview over the
// window with its page logo.
extern CDivarodDlg* MainDialogInstance;
