#include "tests/ui/sweep/window_catalogue.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTreeWidgetItem>

#include "core/language/language.h"
#include "ui/framework/modal_seam.h"
#include <QMenu>

#include "libs/liveview/live_view.h"
#include "ui/devicelist/device_menu.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/devicelist/dlg_modify_model.h"
#include "ui/devicelist/dlg_modify_network_new.h"
#include "ui/devicelist/dlg_preview.h"
#include "ui/tools/dlg_capacity_channel_info.h"

namespace {

// A listed device whose network changes take the administrator password (or not).
DeviceRecord ListedDevice(CDivarodDlg& main, bool authenticated) {
  for (const auto& [mac, record] : main.deviceMap)
    if (((record.capabilities & 0x08) != 0) == authenticated) return record;
  return {};
}

std::vector<DeviceRecord> Devices() {
  std::vector<DeviceRecord> devices;
  for (int i = 0; i < 4; ++i) {
    DeviceRecord r;
    r.valid = true;
    r.mac = "00:1a:2b:3c:4d:1" + std::to_string(i);
    r.ip = "192.168.1." + std::to_string(64 + i);
    r.netmask = "255.255.255.0";
    r.gateway = "192.168.1.1";
    r.type = i % 2 ? "NVR" : "IPC";
    r.version = "V4.2." + std::to_string(i);
    r.httpPort = 80;
    r.tcpPort = 34567;
    r.onvifCapable = i % 2 == 0;
    r.onvifPort = r.onvifCapable ? 80 : 0;
    r.model = "HD-Cam-20" + std::to_string(i);
    r.cloudId = "DVR7Q3KPL100" + std::to_string(i);
    r.devTime = "2026-12-10 08:40:00";
    r.devStartTime = "2026-12-01 07:00:00";
    r.releaseTime = "2026-10-01";
    r.customerCode = "C0000";
    r.capabilities = i % 2 ? 0x09 : 0x00;
    devices.push_back(r);
  }
  return devices;
}

// Opens the settings dialog from the left menu on one page; Cancel closes it.
void VisitSettingsPage(CDivarodDlg& main, const Visit& visit, QTreeWidgetItem* CDlgSetting::*item) {
  main.menuPage.settingButton.click();
  CDlgSetting& dialog = main.settingDialog;
  dialog.tree.setCurrentItem(dialog.*item);
  ServeEvents();
  visit(dialog);
  dialog.cancelButton.click();
}

// Shows one page of the main window through its menu button, then the device list again.
void VisitMenuPage(CDivarodDlg& main, const Visit& visit, CxSkinButton CDlgMainMenu::*button) {
  (main.menuPage.*button).click();
  ServeEvents();
  visit(main);
  main.menuPage.devInfoButton.click();
}

// The preview's texts without a stream: a view that opens nothing and sends nothing.
class NoLiveView : public liveview::LiveViewLibrary {
 public:
  NoLiveView() { liveview::SetLib(this); }
  ~NoLiveView() override { liveview::SetLib(nullptr); }
  int ZODuruvInitialize(const char*) override { return 0; }
  int ZODuruvCreate(int* handle, QWidget*, int, int, int) override {
    *handle = 1;
    return 0;
  }
  int ZODuruvViewStop(int, int) override { return 0; }
  int ZODuruvViewClose(int, int) override { return 0; }
  int ZODuruvViewOpen(int, int, const char*) override { return liveview::kCannotReach; }
  int ZODuruvViewStart(int, int) override { return liveview::kNotOpened; }
  int ZODuruvSetSize(int, int, int) override { return 0; }
  int ZODuruvInvalidate() override { return 0; }
};

// The right-click menu of a device's row with every entry it can offer
// (a preview-capable device, model change offered), shown at the list; with
// submenu, its preview submenu instead.
void VisitDeviceMenu(CDivarodDlg& main, const Visit& visit, bool submenu) {
  DeviceRecord record = ListedDevice(main, false);
  record.onvifCapable = true;
  record.capabilities |= 0x01;
  record.loggedIn = 1;
  QMenu menu(&main);
  BuildDeviceMenu(menu, DeviceMenuEntries(record, 1, true));
  menu.popup(main.mapToGlobal(QPoint(300, 200)));
  ServeEvents();
  QMenu* shown = &menu;
  if (submenu) {
    for (QAction* action : menu.actions())
      if (action->menu()) shown = action->menu();
    shown->popup(main.mapToGlobal(QPoint(420, 200)));
    ServeEvents();
  }
  visit(*shown);
  shown->hide();
  menu.hide();
}

// The batch page with one of its five sub-pages in view.
void VisitBatchSubPage(CDivarodDlg& main, const Visit& visit, CxSkinButton CDlgOperate::*button) {
  main.menuPage.operateButton.click();
  (main.operatePage.*button).click();
  ServeEvents();
  visit(main);
  main.menuPage.devInfoButton.click();
}

// The calculator's channel editor, for a new channel or for the checked
// ones (a channel is added first when the list is empty).
void VisitChannelEditor(CDivarodDlg& main, const Visit& visit, bool modify) {
  main.menuPage.capacityButton.click();
  ServeEvents();
  CDlgCapacityCalculator& calculator = main.capacityPage;
  CDlgCapacityChannelInfo& editor = calculator.channelEditor;
  if (modify) {
    if (calculator.RowCount() == 0) {
      calculator.addButton.click();
      editor.okButton.click();
      editor.closeButton.click();
    }
    calculator.SetRowChecked(0, true);
    calculator.modifyButton.click();
  } else {
    calculator.addButton.click();
  }
  ServeEvents();
  visit(editor);
  editor.closeButton.click();
  if (modify) calculator.SetRowChecked(0, false);
  main.menuPage.devInfoButton.click();
}

}  // namespace

int SweepAnswer(const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; }

void ServeEvents() {
  for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
}

SweepStage::SweepStage() {
  QDir().mkpath(folder_.path());
  const QString shipped = QCoreApplication::applicationDirPath() + "/Config File";
  QProcess::execute("cp", {"-r", shipped, folder_.path() + "/"});
  library_.fake.searchRecords = Devices();
  modal::SetAnswerer(SweepAnswer);
  main_ = std::make_unique<CDivarodDlg>();
  MainDialogInstance = main_.get();
  main_->config.programFolder = folder_.path() + "/";
  main_->show();
  for (int i = 0; i < 500 && (main_->searching.load() || main_->devInfoPage.RowCount() == 0); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  ServeEvents();
}

SweepStage::~SweepStage() {
  main_.reset();
  MainDialogInstance = nullptr;
  modal::SetAnswerer({});
}

void SweepStage::SwitchLanguage(int index) {
  pm::SendPrivateMessage(main_.get(), pm::WM_LANGUAGE_CHANGED, static_cast<pm::WPARAM>(index));
  ServeEvents();
}

QString SweepStage::LanguageFile(int index) const {
  return folder_.path() + "/Config File/Lang/" + LanguageTable[static_cast<std::size_t>(index)].fileName;
}

void VisitModal(const std::function<void()>& trigger, const Visit& visit, int answer) {
  bool visited = false;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (visited || !r.dialog) return SweepAnswer(r);
    visited = true;
    r.dialog->show();
    QCoreApplication::processEvents();
    visit(*r.dialog);
    r.dialog->hide();
    return answer;
  });
  trigger();
  modal::SetAnswerer(SweepAnswer);
}

const std::vector<SweepWindow>& SweepWindows() {
  static const std::vector<SweepWindow> windows = {
      {"main-window", [](CDivarodDlg& m, const Visit& v) { v(m); }},
      {"batch-page", [](CDivarodDlg& m, const Visit& v) { VisitMenuPage(m, v, &CDlgMainMenu::operateButton); }},
      {"batch-reboot", [](CDivarodDlg& m, const Visit& v) { VisitBatchSubPage(m, v, &CDlgOperate::rebootButton); }},
      {"batch-password",
       [](CDivarodDlg& m, const Visit& v) { VisitBatchSubPage(m, v, &CDlgOperate::passwordButton); }},
      {"batch-ports", [](CDivarodDlg& m, const Visit& v) { VisitBatchSubPage(m, v, &CDlgOperate::portsButton); }},
      {"batch-upgrade", [](CDivarodDlg& m, const Visit& v) { VisitBatchSubPage(m, v, &CDlgOperate::upgradeButton); }},
      {"batch-configuration",
       [](CDivarodDlg& m, const Visit& v) { VisitBatchSubPage(m, v, &CDlgOperate::configurationButton); }},
      {"calculator", [](CDivarodDlg& m, const Visit& v) { VisitMenuPage(m, v, &CDlgMainMenu::capacityButton); }},
      {"channel-editor-add", [](CDivarodDlg& m, const Visit& v) { VisitChannelEditor(m, v, false); }},
      {"channel-editor-modify", [](CDivarodDlg& m, const Visit& v) { VisitChannelEditor(m, v, true); }},
      {"settings-language",
       [](CDivarodDlg& m, const Visit& v) { VisitSettingsPage(m, v, &CDlgSetting::languageItem); }},
      {"settings-search", [](CDivarodDlg& m, const Visit& v) { VisitSettingsPage(m, v, &CDlgSetting::searchItem); }},
      {"settings-columns",
       [](CDivarodDlg& m, const Visit& v) { VisitSettingsPage(m, v, &CDlgSetting::devInfoItem); }},
      {"settings-about", [](CDivarodDlg& m, const Visit& v) { VisitSettingsPage(m, v, &CDlgSetting::aboutItem); }},
      {"help", [](CDivarodDlg& m, const Visit& v) { VisitModal([&] { m.OnHelp(); }, v, 1); }},
      {"tip-exit", [](CDivarodDlg& m, const Visit& v) { VisitModal([&] { m.OnQuit(); }, v, 2); }},
      {"login",
       [](CDivarodDlg&, const Visit& v) {
         CDlgLoginLocal prompt;
         prompt.showIp = true;
         prompt.ipText = "192.168.1.64";
         VisitModal([&] { prompt.DoModal(); }, v, 2);
       }},
      {"network-v3",
       [](CDivarodDlg& m, const Visit& v) {
         CDlgModifyNetworkNew dialog;
         dialog.request = ListedDevice(m, true);
         VisitModal([&] { dialog.DoModal(); }, v, 2);
       }},
      {"device-menu", [](CDivarodDlg& m, const Visit& v) { VisitDeviceMenu(m, v, false); }},
      {"device-menu-preview", [](CDivarodDlg& m, const Visit& v) { VisitDeviceMenu(m, v, true); }},
      {"model",
       [](CDivarodDlg& m, const Visit& v) {
         const DeviceRecord device = ListedDevice(m, true);
         CDlgModifyModel dialog;
         dialog.mac = QString::fromStdString(device.mac);
         dialog.currentModel = QString::fromStdString(device.model);
         VisitModal([&] { dialog.DoModal(); }, v, 2);
       }},
      {"preview",
       [](CDivarodDlg& m, const Visit& v) {
         NoLiveView quiet;
         CDlgPreview preview;
         preview.windowRect = m.frameGeometry().adjusted(30, 20, -30, -15);  // as the main window opens it
         preview.pageLogo = m.pageLogo;
         preview.deviceIp = "127.0.0.1";
         preview.loginUser = "admin";
         preview.streamPort = 34567;
         VisitModal([&] { preview.DoModal(); }, v, QDialog::Accepted);
       }},
      {"network-v2",
       [](CDivarodDlg& m, const Visit& v) {
         CDlgModifyNetworkNew dialog;
         dialog.request = ListedDevice(m, false);
         VisitModal([&] { dialog.DoModal(); }, v, 2);
       }},
  };
  return windows;
}
