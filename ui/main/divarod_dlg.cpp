// The main window's frame: construction, the title band, the pages, Quit and MAX.
#include "ui/main/divarod_dlg.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "core/device/device_library.h"
#include "core/device/sdk_device_info.h"
#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/colours.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/open_device_preview.h"
#include "ui/tools/dlg_help.h"

CDivarodDlg* MainDialogInstance = nullptr;

CDivarodDlg::CDivarodDlg(QWidget* parent)
    : QDialog(parent),
      searchBuffer(sdkinfo::kSearchBufferSize),
      logoPicture_(this),
      titleText_(this),
      quitButton_(this),
      maxButton_(this),
      minButton_(this),
      helpButton_(this) {
  largeFont = QFont("Tahoma");
  largeFont.setPixelSize(34);
  calculatorFont = QFont("Tahoma");
  calculatorFont.setPixelSize(22);
  calculatorFont.setWeight(QFont::DemiBold);  // 600
  config.languageIndex = 0;
  maximized = false;
  config.customerCode.clear();
  config.columnMask = 0x23FF;

  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint);
  setContentsMargins(kBorder, kBorder, kBorder, kBorder);
  logoPicture_.setObjectName("logoPicture");
  titleText_.setObjectName("titleText");
  quitButton_.setObjectName("quitButton");
  maxButton_.setObjectName("maxButton");
  minButton_.setObjectName("minButton");
  helpButton_.setObjectName("helpButton");
  // Statics on the dark band: transparent, white text.
  QPalette statics = titleText_.palette();
  statics.setColor(QPalette::WindowText, colours::FromColorRef(kTextColour));
  titleText_.setPalette(statics);

  keyfilter::SwallowEnterAndEsc(this);
  titleBand_.SetDoubleClickAction([this] { OnMaximize(); });

  periodicSearchTimer_.setTimerType(Qt::PreciseTimer);  // the period counts from the request
  connect(&periodicSearchTimer_, &QTimer::timeout, this, [this] { OnTimer(kPeriodicSearchTimer); });
  connect(&quitButton_, &CxSkinButton::clicked, this, [this] { OnQuit(); });
  connect(&maxButton_, &CxSkinButton::clicked, this, [this] { OnMaximize(); });
  connect(&minButton_, &CxSkinButton::clicked, this, [this] { OnMinimize(); });
  connect(&helpButton_, &CxSkinButton::clicked, this, [this] { OnHelp(); });

  // The library's one start-up call, before any other call reaches it.
  devicelib::Lib().SdkStartup(0, this);
}

CDivarodDlg::~CDivarodDlg() { EndWorkers(); }

// The batch runs' workers hand their reads and results to this thread, and
// the search worker its records: both are served until they have ended. A
// prompt or notice they ask for meanwhile is not shown.
void CDivarodDlg::EndWorkers() {
  const modal::RefuseWindows noWindowsNow;
  periodicSearchTimer_.stop();
  operatePage.EndRuns();
  WaitForSearchToEnd();
}

// A search worker may be waiting for the UI thread (its finish notice is sent,
// its failure notice runs there): keep serving it until it has ended.
void CDivarodDlg::WaitForSearchToEnd() {
  while (searching.load()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  if (searchThread_.joinable()) searchThread_.join();
}

void CDivarodDlg::done(int result) {
  QDialog::done(result);
  EndWorkers();
}

void CDivarodDlg::setVisible(bool visible) {
  if (visible && !initialised_) {
    initialised_ = true;
    OnInitDialog();
  }
  QDialog::setVisible(visible);
}

bool CDivarodDlg::OnInitDialog() {
  LoadConfiguration();
  if (!icon.isNull()) setWindowIcon(icon);
  LoadSkinImages();
  ApplyLanguage(config.languageIndex);
  titleText_.setText(config.appName);
  setWindowTitle(config.appName);

  resize(kWidth, kHeight);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), QSize(kWidth, kHeight));
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  LayoutControls(geometry());
  CreatePages();

  devInfoPage.RequestSearch();  // the first search starts once the window runs
  RestartPeriodicSearchTimer();
  return true;
}

// Paths and settings from Config.ini, then the skin images by their paths.
void CDivarodDlg::LoadConfiguration() {
  const QString folder = config.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() + "/"
                                                        : config.programFolder;
  BuildConfigPaths(config, folder);
  ::LoadConfiguration(config);
  const QIcon logo(config.logoIconPath);
  if (!logo.pixmap(32, 32).isNull()) icon = logo;
  pageLogo = QPixmap(config.pageLogoPath);
  helpBitmap = QPixmap(config.helpBitmapPath);
  if (!helpBitmap.isNull() && helpBitmap.size() != QSize(640, 528))
    helpBitmap = helpBitmap.scaled(640, 528, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void CDivarodDlg::LoadSkinImages() {
  quitButton_.SetSkin(205, 204, 206, 205);
  maxButton_.SetSkin(214, 216, 215, 214);
  minButton_.SetSkin(208, 211, 209, 208);
  helpButton_.SetSkin(241, 240, 242, 241);
  if (!pageLogo.isNull()) logoPicture_.setPixmap(pageLogo);
  helpButton_.setVisible(config.showHelp);
}

// Positions from the window's outer top-left corner; for this frameless window
// they are its own widget coordinates.
void CDivarodDlg::LayoutControls(const QRect& windowRect) {
  const int w = windowRect.width();
  quitButton_.setGeometry(w - 24, 6, 20, 20);
  maxButton_.setGeometry(w - 46, 6, 20, 20);
  minButton_.setGeometry(w - 68, 6, 20, 20);
  helpButton_.setGeometry(w - 92, 6, 20, 20);
  const int logoW = pageLogo.isNull() ? 0 : pageLogo.width();
  const int logoH = pageLogo.isNull() ? 0 : pageLogo.height();
  logoPicture_.setGeometry(10, (kTitleBand - logoH) / 2, logoW, logoH);
  titleText_.setGeometry(logoW + 20, (kTitleBand - logoH) / 2 + logoH / 2 - 10, 300, 20);
}

void CDivarodDlg::CreatePages() {
  capacityPage.SetEncodeIniPath(config.encodeIniPath);
  capacityPage.Create(this);
  operatePage.SetHost(this);
  operatePage.Create(this);
  menuPage.Create(this);
  devInfoPage.SetHost(this);
  devInfoPage.openPreview = OpenDevicePreview;
  devInfoPage.Create(this);
  devInfoPage.SetModifyModelMode(config.modifyModelMode);
  devInfoPage.SetColumnMask(config.columnMask);
  SettingsSource settings;
  settings.languageIndex = config.languageIndex;
  settings.languages = config.LanguageMap;
  settings.columnMask = static_cast<uint32_t>(config.columnMask);
  settings.showModel = config.showModel;
  settings.appName = config.appName;
  settings.versionText = config.versionText;
  settings.releaseText = config.releaseText;
  settings.periodicSearch = config.periodicSearch;
  settings.searchMinutes = config.searchMinutes;
  settings.searchPeriods = config.searchPeriods;
  settings.pageLogo = pageLogo;
  settingDialog.Create(this, settings, this, &devInfoPage);
  currentPageIndex = 0;
  currentPage = &devInfoPage;
  menuPage.show();
  devInfoPage.show();
}

void CDivarodDlg::OnQuit() {
  if (searching.load()) {
    ShowNotice("info.Searching_wait");
    return;
  }
  if (operatePage.IsBatchBusy() || devInfoPage.networkChangeRunning) {
    ShowNotice("info.Configuring_wait");
    return;
  }
  if (ShowTipBox(Text("msg.Exit"), Text("msg.Msg"), true, true, CDlgTip::kIconQuestion) == 1) close();
}

void CDivarodDlg::OnMinimize() { showMinimized(); }

void CDivarodDlg::OnMaximize() {
  if (maximized) {
    setGeometry(savedRect);
    maximized = false;
  } else {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The client area is what is saved: restoring it makes the window two
    // pixels narrower and lower, one pixel further right and down.
    savedRect = QRect(mapToGlobal(ClientRect().topLeft()), ClientRect().size());
    setGeometry(screen->availableGeometry());
    maximized = true;
  }
  pm::PostPrivateMessage(&menuPage, pm::WM_PARENT_RESIZED);
  pm::PostPrivateMessage(&devInfoPage, pm::WM_PARENT_RESIZED);
  pm::PostPrivateMessage(&operatePage, pm::WM_PARENT_RESIZED);
  pm::PostPrivateMessage(&capacityPage, pm::WM_PARENT_RESIZED);
  LayoutControls(geometry());
}

// A new page for each press, shown in the band's colours.
void CDivarodDlg::OnHelp() {
  CDlgHelp help(this);
  help.backgroundColour = kBackgroundColour;
  help.titleColour = kTextColour;
  help.pageLogo = pageLogo;
  help.helpPicture = helpBitmap;
  help.DoModal();
}

void CDivarodDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), colours::FromColorRef(kBackgroundColour));
  painter.setPen(QColor(0x5A, 0x5A, 0x5A));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));  // the thin border
}
