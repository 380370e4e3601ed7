// The commands on one device as the user meets them on the device list page:
// which entries the right-click menu offers, the busy refusal after the
// choice, configuration export (offered name, save dialog, notices), the
// login and preview commands and the model name change with its read-back.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "tests/ui/devinfo/device_page_fixture.h"
#include "ui/devicelist/device_menu.h"
#include "ui/devicelist/dlg_modify_model.h"
#include "ui/devicelist/dlg_modify_network_new.h"
#include "ui/devicelist/model_name_block.h"

namespace devlist_test {
namespace {

constexpr int32_t kHandle = 77;

std::vector<DeviceRecord> TwoDevices() {
  DeviceRecord a = MakeDevice("00:00:00:00:00:0a", "10.0.0.10");
  DeviceRecord b = MakeDevice("00:00:00:00:00:0b", "10.0.0.11");
  a.capabilities = 0x09;
  a.model = "DV-T100";
  b.onvifCapable = 0;
  b.kind = 1;
  return {a, b};
}

std::vector<int> Ids(const std::vector<DeviceMenuEntry>& entries) {
  std::vector<int> ids;
  for (const DeviceMenuEntry& e : entries) ids.push_back(e.id);
  return ids;
}

class DeviceCommands : public DevicePageTest {
 protected:
  void SetUp() override {
    DevicePageTest::SetUp();
    FinishSearch(TwoDevices());
    library.fake.ClearCalls();
    page->SetModifyModelMode(true);
    page->openPreview = [this](const QString& ip, const QString& user, const QString& password, int port,
                               int kind) {
      previews << QStringLiteral("%1 %2 %3 %4 %5").arg(ip, user, password).arg(port).arg(kind);
    };
  }

  DeviceRecord& Record(int row) { return *page->RecordAt(row); }
  void LogIn(int row) {
    Record(row).loggedIn = 1;
    Record(row).loginHandle = kHandle;
    Record(row).userName = "admin";
    Record(row).password = "p@ss:w";
  }

  // The user's answers: the menu entry to choose, the file to save to (empty
  // with saveAccepted: an accepted dialog without a name), what to type into
  // the model dialog and the login prompt.
  int menuChoice = kMenuNone;
  bool saveAccepted = true;
  bool acceptOffered = false;  // OK on the name as offered
  QString savePath;
  QString typedModel;
  bool loginAccepted = false;
  QStringList previews;
  std::vector<uint8_t> runningDuringMenu;

  void AnswerLikeTheUser() {
    answer = [this](const modal::ModalRequest& r) -> int {
      if (r.kind == "menu") {
        runningDuringMenu.push_back(page->deviceCommandRunning);
        return menuChoice;
      }
      if (r.kind == "file-save") {
        if (!saveAccepted) return QDialog::Rejected;
        auto* dialog = qobject_cast<QFileDialog*>(r.dialog);
        if (acceptOffered) return QDialog::Accepted;
        if (savePath.isEmpty()) {
          // The user empties the name box and accepts.
          auto* nameBox = dialog->findChild<QLineEdit*>("fileNameEdit");
          EXPECT_NE(nameBox, nullptr);
          if (nameBox) nameBox->clear();
        } else {
          dialog->selectFile(savePath);
        }
        return QDialog::Accepted;
      }
      if (r.kind == "login") return loginAccepted ? 1 : 2;
      if (auto* model = qobject_cast<CDlgModifyModel*>(r.dialog)) {
        if (typedModel.isNull()) return CDlgModifyModel::kResultClosed;
        model->newModelEdit.setText(typedModel);
        model->modifyButton.click();
        return model->result();
      }
      return r.kind == "tip" ? 1 : 2;
    };
  }
};

// --- the menu --------------------------------------------------------------------

TEST(DeviceMenuTable, EntriesFollowTheRecordTheColumnAndTheMode) {
  DeviceRecord camera = MakeDevice("00:00:00:00:00:01", "10.0.0.1");
  camera.capabilities = 0x09;
  DeviceRecord recorder = camera;
  recorder.onvifCapable = 0;
  DeviceRecord fixedModel = camera;
  fixedModel.capabilities = 0x08;
  const std::vector<int> all = {kMenuLogin, kMenuNetwork, kMenuNone, kMenuMainStream, kMenuSubStream,
                                kMenuOpenWeb, kMenuExport, kMenuModifyModel, kMenuCopy};
  struct Case {
    const char* name;
    const DeviceRecord& record;
    int column;
    bool modifyModelMode;
    std::vector<int> ids;
  } cases[] = {
      {"everything", camera, kColIp, true, all},
      {"login-state column: no copy", camera, kColLoginState, true,
       {kMenuLogin, kMenuNetwork, kMenuNone, kMenuMainStream, kMenuSubStream, kMenuOpenWeb, kMenuExport,
        kMenuModifyModel}},
      {"no preview without onvif", recorder, kColMac, true,
       {kMenuLogin, kMenuNetwork, kMenuOpenWeb, kMenuExport, kMenuModifyModel, kMenuCopy}},
      {"mode off: no model entry", camera, kColNo, false,
       {kMenuLogin, kMenuNetwork, kMenuNone, kMenuMainStream, kMenuSubStream, kMenuOpenWeb, kMenuExport, kMenuCopy}},
      {"bit 0 clear: no model entry", fixedModel, kColModel, true,
       {kMenuLogin, kMenuNetwork, kMenuNone, kMenuMainStream, kMenuSubStream, kMenuOpenWeb, kMenuExport, kMenuCopy}},
  };
  for (const Case& c : cases) EXPECT_EQ(Ids(DeviceMenuEntries(c.record, c.column, c.modifyModelMode)), c.ids) << c.name;

  // The two stream items sit in the submenu named "tx.Preview".
  const auto entries = DeviceMenuEntries(camera, kColIp, true);
  EXPECT_STREQ(entries[2].textKey, "tx.Preview");
  EXPECT_TRUE(entries[3].inSubmenu && entries[4].inSubmenu);
  EXPECT_FALSE(entries[5].inSubmenu);
}

TEST_F(DeviceCommands, RightClickOffersTheMenuAndCopiesTheClickedCell) {
  AnswerLikeTheUser();
  menuChoice = kMenuCopy;
  page->OnDeviceListRightClick(0, kColMac);
  ASSERT_EQ(Shown("menu").size(), 1);
  EXPECT_EQ(Shown("menu")[0].toStdString(),
            "3005 msg.Login\n3004 tx.NetworkModify\ntx.Preview >\n  3001 tx.Main_stream\n  3002 tx.Sub_stream\n"
            "3003 tx.Open_web\n3006 tx.Export\n3007 tx.Modify_model\n3008 tx.Copy");
  EXPECT_EQ(runningDuringMenu, std::vector<uint8_t>{1});
  EXPECT_EQ(page->deviceCommandRunning, 0);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "00:00:00:00:00:0a");
}

// The real popup, driven by keys as a user would: its ids reach the commands.
TEST_F(DeviceCommands, RealPopupMenuChoiceRunsTheCommand) {
  modal::SetAnswerer({});
  QGuiApplication::clipboard()->clear();
  const auto pressInPopup = [](std::vector<Qt::Key> keys) {
    // Runs inside the menu's own loop once it is open.
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, keys] {
      QWidget* popup = QApplication::activePopupWidget();
      if (!popup) return;
      poll->stop();
      poll->deleteLater();
      for (Qt::Key key : keys) QTest::keyClick(popup, key);
    });
    poll->start(0);
  };
  pressInPopup({Qt::Key_Escape});
  page->OnDeviceListRightClick(0, kColMac);
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
  pressInPopup({Qt::Key_Up, Qt::Key_Return});  // the last entry: Copy
  page->OnDeviceListRightClick(0, kColMac);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "00:00:00:00:00:0a");
  EXPECT_EQ(page->deviceCommandRunning, 0);
}

TEST_F(DeviceCommands, NoMenuBelowTheRowsAndNothingWhenDismissed) {
  AnswerLikeTheUser();
  page->OnDeviceListRightClick(-1, kColIp);
  EXPECT_TRUE(Shown("menu").isEmpty());
  menuChoice = kMenuNone;
  page->OnDeviceListRightClick(1, kColIp);
  EXPECT_EQ(Shown("menu").size(), 1);
  EXPECT_EQ(page->deviceCommandRunning, 0);
  EXPECT_TRUE(library.fake.Calls().empty());
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(DeviceCommands, RightClickOnTheRealListReachesTheClickedRowAndColumn) {
  AnswerLikeTheUser();
  menuChoice = kMenuNone;
  page->resize(1000, 600);
  page->deviceList.resize(900, 400);
  QTreeWidgetItem* item = page->deviceList.topLevelItem(1);
  const QRect cell = page->deviceList.visualItemRect(item);
  const int x = page->deviceList.header()->sectionViewportPosition(kColLoginState) + 5;
  emit page->deviceList.customContextMenuRequested(QPoint(x, cell.center().y()));
  ASSERT_EQ(Shown("menu").size(), 1);
  EXPECT_FALSE(Shown("menu")[0].contains("tx.Copy"));   // the login-state column
  EXPECT_FALSE(Shown("menu")[0].contains("tx.Preview"));  // row 1: no onvif
  // Below the last row: no menu.
  emit page->deviceList.customContextMenuRequested(QPoint(x, page->deviceList.viewport()->height() - 2));
  EXPECT_EQ(Shown("menu").size(), 1);
}

TEST_F(DeviceCommands, ChoiceWhileABatchRunsIsRefusedAndTouchesNothing) {
  AnswerLikeTheUser();
  Main().operatePage.upgradeRun.upgradeBusy = 1;
  for (int id : {kMenuLogin, kMenuNetwork, kMenuExport, kMenuModifyModel, kMenuMainStream}) {
    shown.clear();
    menuChoice = id;
    page->OnDeviceListRightClick(0, kColIp);
    EXPECT_EQ(Shown(), QStringList({"info.Configuring_wait"})) << id;
    EXPECT_EQ(shown.size(), 2u) << id;  // the menu and the notice, nothing else
    EXPECT_EQ(page->deviceCommandRunning, 0);
  }
  Main().operatePage.upgradeRun.upgradeBusy = 0;
  EXPECT_TRUE(library.fake.Calls().empty());
  EXPECT_TRUE(previews.isEmpty());
}

TEST_F(DeviceCommands, NetworkChangeFromTheMenuRunsWithItsFlagUp) {
  std::vector<uint8_t> flags;
  AnswerLikeTheUser();
  auto user = answer;
  answer = [&](const modal::ModalRequest& r) {
    if (r.kind == "network") flags = {page->networkChangeRunning, page->deviceCommandRunning};
    return user(r);
  };
  menuChoice = kMenuNetwork;
  page->OnDeviceListRightClick(0, kColIp);
  EXPECT_EQ(flags, (std::vector<uint8_t>{1, 1}));
  EXPECT_EQ(page->networkChangeRunning, 0);
  EXPECT_EQ(page->deviceCommandRunning, 0);
}

// --- configuration export -----------------------------------------------------------

TEST(ExportName, PrefixBeforeBuildThenTheLocalTime) {
  const QDateTime at(QDate(2026, 3, 7), QTime(9, 5, 4));
  const struct {
    const char* version;
    const char* name;
  } cases[] = {
      {"V4.2.1 Build:20261001", "V4.2.1 .20260307090504"},  // the blank before "Build:" stays
      {"V5.2.4.ad17 Build:2026-09-14 16:02 Release(ONVIF) Build:x", "V5.2.4.ad17 .20260307090504"},
      {"V4.2.1", ".20260307090504"},  // no "Build:": no prefix
      {"", ".20260307090504"},
      {"Build:1", ".20260307090504"},
      {"HW/2 Build:1", "HW_2 .20260307090504"},  // no folder from the device's text
  };
  for (const auto& c : cases) EXPECT_EQ(ExportFileName(c.version, at), c.name) << c.version;
  EXPECT_EQ(ExportFileName("V1 Build:", QDateTime(QDate(2027, 12, 31), QTime(23, 59, 59))), "V1 .20271231235959");
}

TEST_F(DeviceCommands, ExportOfALoggedInDeviceOffersTheNameAndWritesThePath) {
  LogIn(0);
  AnswerLikeTheUser();
  savePath = QDir::temp().filePath("device one.coi");
  page->ExportDeviceConfig(0);
  EXPECT_TRUE(Shown("login").isEmpty());
  ASSERT_EQ(Shown("file-save").size(), 1);
  EXPECT_TRUE(QRegularExpression("^V4\\.2\\.1 \\.\\d{14}\\.coi$").match(Shown("file-save")[0]).hasMatch())
      << Shown("file-save")[0].toStdString();
  const auto query = library.fake.CallsOf("SdkQueryText");
  ASSERT_EQ(query.size(), 1u);
  EXPECT_EQ(query[0].Arg(0), "77");
  EXPECT_EQ(query[0].Arg(1), "50");
  EXPECT_EQ(query[0].Arg(3), "64");
  EXPECT_EQ(query[0].Arg(5), "1000");
  const auto exported = library.fake.CallsOf("SdkExportConfig");
  ASSERT_EQ(exported.size(), 1u);
  EXPECT_EQ(exported[0].args, (std::vector<std::string>{"77", "0", savePath.toStdString(), "0", "0"}));
  EXPECT_EQ(Shown(), QStringList({"info.operate_success"}));
  EXPECT_EQ(Record(0).loggedIn, 1);
  EXPECT_EQ(library.fake.CountOf("SdkLogout"), 0);
}

TEST_F(DeviceCommands, OfferedNameAcceptedAsItStandsIsSavedAsACoiFile) {
  LogIn(0);
  AnswerLikeTheUser();
  acceptOffered = true;
  page->ExportDeviceConfig(0);
  ASSERT_EQ(Shown("file-save").size(), 1);
  const auto exported = library.fake.CallsOf("SdkExportConfig");
  ASSERT_EQ(exported.size(), 1u);
  const QString path = QString::fromStdString(exported[0].Arg(2));
  EXPECT_TRUE(QRegularExpression("/V4\\.2\\.1 \\.\\d{14}\\.coi$").match(path).hasMatch()) << path.toStdString();
}

TEST_F(DeviceCommands, ExportRefusedByTheDeviceSaysSo) {
  LogIn(0);
  AnswerLikeTheUser();
  library.fake.exportResult = 0;
  savePath = QDir::temp().filePath("x.coi");
  page->ExportDeviceConfig(0);
  EXPECT_EQ(Shown(), QStringList({"info.operate_fail"}));
}

TEST_F(DeviceCommands, ExportWithoutAVersionOffersOnlyTheTime) {
  LogIn(0);
  AnswerLikeTheUser();
  library.fake.versionText = "";
  saveAccepted = false;
  page->ExportDeviceConfig(0);
  ASSERT_EQ(Shown("file-save").size(), 1);
  EXPECT_TRUE(QRegularExpression("^\\.\\d{14}\\.coi$").match(Shown("file-save")[0]).hasMatch());
}

TEST_F(DeviceCommands, CancelledOrEmptySaveDialogEndsTheExportSilently) {
  LogIn(0);
  AnswerLikeTheUser();
  saveAccepted = false;
  page->ExportDeviceConfig(0);
  saveAccepted = true;
  savePath = "";  // accepted without a file name: the dialog's folder
  page->ExportDeviceConfig(0);
  EXPECT_EQ(Shown("file-save").size(), 2);
  EXPECT_EQ(library.fake.CountOf("SdkExportConfig"), 0);
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(DeviceCommands, ExportAsksForALoginFirst) {
  AnswerLikeTheUser();
  // Cancelled prompt: nothing more.
  page->ExportDeviceConfig(0);
  EXPECT_EQ(Shown("login").size(), 1);
  EXPECT_TRUE(Shown().isEmpty());
  // Refused login: the failure notice, no query.
  loginAccepted = true;
  page->ExportDeviceConfig(0);
  ASSERT_EQ(Shown().size(), 1);
  EXPECT_TRUE(Shown()[0].startsWith("info.login_fail_s")) << Shown()[0].toStdString();
  EXPECT_EQ(library.fake.CountOf("SdkQueryText"), 0);
  // Accepted: the export goes on with the new handle.
  library.fake.defaultLoginHandle = 91;
  saveAccepted = false;
  page->ExportDeviceConfig(0);
  ASSERT_EQ(library.fake.CallsOf("SdkQueryText").size(), 1u);
  EXPECT_EQ(library.fake.CallsOf("SdkQueryText")[0].Arg(0), "91");
}

TEST_F(DeviceCommands, ExportButtonTakesTheUpperSelectedRow) {
  LogIn(0);
  LogIn(1);
  Record(1).loginHandle = 78;
  AnswerLikeTheUser();
  saveAccepted = false;
  page->deviceList.topLevelItem(1)->setSelected(true);
  page->deviceList.topLevelItem(0)->setSelected(true);
  page->exportButton.click();
  ASSERT_EQ(library.fake.CallsOf("SdkQueryText").size(), 1u);
  EXPECT_EQ(library.fake.CallsOf("SdkQueryText")[0].Arg(0), "77");
}

TEST_F(DeviceCommands, TimerSearchInsideTheExportButtonsSaveDialogIsDropped) {
  LogIn(0);
  AnswerLikeTheUser();
  savePath = QDir::temp().filePath("x.coi");
  auto user = answer;
  answer = [&](const modal::ModalRequest& r) {
    if (r.kind == "file-save") {
      // The periodic search fires while the dialog is open.
      page->searchFromTimer = 1;
      page->RequestSearch();
      QCoreApplication::processEvents();
    }
    return user(r);
  };
  page->deviceList.topLevelItem(0)->setSelected(true);
  page->OnExportButton();
  EXPECT_FALSE(Main().searching.load());
  EXPECT_EQ(library.fake.CountOf("SDK_SearchDevices_v1_v3_MultiEth"), 0);
  EXPECT_EQ(Main().deviceMap.size(), 2u);
  EXPECT_EQ(library.fake.CallsOf("SdkExportConfig").size(), 1u);
  EXPECT_EQ(Shown(), QStringList({"info.operate_success"}));
  EXPECT_EQ(page->deviceCommandRunning, 0);
}

TEST_F(DeviceCommands, ExportButtonRefusedWhileABatchRunsAndWithoutASelection) {
  AnswerLikeTheUser();
  page->deviceList.topLevelItem(0)->setSelected(true);
  Main().operatePage.rebootBusy = 1;
  page->OnExportButton();
  Main().operatePage.rebootBusy = 0;
  page->deviceList.clearSelection();
  page->OnExportButton();
  EXPECT_EQ(Shown(), QStringList({"info.Configuring_wait", "msg.Sel_one_dev_first"}));
  EXPECT_TRUE(library.fake.Calls().empty());
}

// --- login and preview --------------------------------------------------------------

TEST_F(DeviceCommands, LoginCommandTellsOnlyAnAlreadyLoggedInDevice) {
  AnswerLikeTheUser();
  loginAccepted = true;
  library.fake.defaultLoginHandle = 5;
  page->LoginDeviceCommand(1);  // fresh: the cell says it, no notice
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_EQ(page->CellText(1, kColLoginState), "tx.Logined");
  page->LoginDeviceCommand(1);  // again: no prompt, the notice
  EXPECT_EQ(Shown("login").size(), 1);
  EXPECT_EQ(Shown(), QStringList({"msg.Already_logined"}));
}

TEST_F(DeviceCommands, PreviewGetsTheRecordsAddressLoginAndStream) {
  LogIn(0);
  Record(0).tcpPort = 9000;
  Record(0).userName = "安装";
  AnswerLikeTheUser();
  menuChoice = kMenuMainStream;
  page->OnDeviceListRightClick(0, kColIp);
  menuChoice = kMenuSubStream;
  page->OnDeviceListRightClick(0, kColIp);
  EXPECT_EQ(previews, QStringList({"10.0.0.10 安装 p@ss:w 9000 2", "10.0.0.10 安装 p@ss:w 9000 3"}));
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(DeviceCommands, PreviewNeedsALogin) {
  AnswerLikeTheUser();
  page->PreviewDeviceStream(0, 2);  // prompt cancelled
  loginAccepted = true;
  page->PreviewDeviceStream(0, 2);  // refused
  EXPECT_TRUE(previews.isEmpty());
  ASSERT_EQ(Shown().size(), 1);
  EXPECT_TRUE(Shown()[0].startsWith("info.login_fail_s"));
}

// --- model name change ------------------------------------------------------------

// A device library whose read-back can be made to differ from what was written.
class TamperingLibrary : public FakeDeviceLibrary {
 public:
  std::function<void(uint8_t*)> tamper;
  int SdkGetParameter(int32_t handle, int blockId, int channel, void* buffer, int size, int* outSize, int timeout,
                      int reserved1, int reserved2) override {
    const int r = FakeDeviceLibrary::SdkGetParameter(handle, blockId, channel, buffer, size, outSize, timeout,
                                                     reserved1, reserved2);
    if (tamper) tamper(static_cast<uint8_t*>(buffer));
    return r;
  }
};

TEST_F(DeviceCommands, ModelChangeWritesReadsBackAndShowsTheNewName) {
  LogIn(0);
  AnswerLikeTheUser();
  typedModel = "DV-T200 Lobby";
  menuChoice = kMenuModifyModel;
  page->OnDeviceListRightClick(0, kColIp);
  EXPECT_EQ(Shown("model"), QStringList({"00:00:00:00:00:0a"}));
  const auto set = library.fake.CallsOf("SdkSetParameter");
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].Arg(0), "77");
  EXPECT_EQ(set[0].Arg(1), "191");
  EXPECT_EQ(set[0].Arg(2), "-1");
  EXPECT_EQ(set[0].Arg(4), "324");
  EXPECT_EQ(set[0].Arg(5), "-1");
  const auto get = library.fake.CallsOf("SdkGetParameter");
  ASSERT_EQ(get.size(), 1u);
  EXPECT_EQ((std::vector<std::string>{get[0].Arg(0), get[0].Arg(1), get[0].Arg(2), get[0].Arg(4), get[0].Arg(6),
                                      get[0].Arg(7), get[0].Arg(8)}),
            (std::vector<std::string>{"77", "191", "-1", "324", "-1", "0", "0"}));
  // The block as the device got it: flags 1, the name, zeros.
  std::vector<uint8_t> expected(324, 0);
  expected[0] = 1;
  std::memcpy(expected.data() + 4, "DV-T200 Lobby", 13);
  EXPECT_EQ(library.fake.blocks[191], expected);
  EXPECT_EQ(Record(0).model, "DV-T200 Lobby");
  EXPECT_EQ(page->CellText(0, kColModel), "DV-T200 Lobby");
  EXPECT_EQ(Shown(), QStringList({"info.operate_success"}));
}

TEST_F(DeviceCommands, ModelChangeThatDoesNotReadBackFailsAndChangesNothing) {
  TamperingLibrary tampering;
  devicelib::SetDeviceLibrary(&tampering);
  LogIn(0);
  AnswerLikeTheUser();
  typedModel = "NEW-NAME";
  struct Case {
    const char* name;
    int setResult;
    int getResult;
    std::function<void(uint8_t*)> tamper;
  } cases[] = {
      {"write refused", 0, 1, {}},
      {"read refused", 1, 0, {}},
      {"a different text", 1, 1, [](uint8_t* b) { b[4 + 7] = 'X'; }},
      {"a longer text", 1, 1, [](uint8_t* b) { b[4 + 8] = 'S'; }},
      {"bit 0 clear", 1, 1, [](uint8_t* b) { b[0] = 0x02; }},
  };
  for (const Case& c : cases) {
    shown.clear();
    tampering.setParameterResult = c.setResult;
    tampering.getParameterResult = c.getResult;
    tampering.tamper = c.tamper;
    page->ModifyDeviceModel(0);
    EXPECT_EQ(Shown(), QStringList({"info.operate_fail"})) << c.name;
    EXPECT_EQ(Record(0).model, "DV-T100") << c.name;
    EXPECT_EQ(page->CellText(0, kColModel), "DV-T100") << c.name;
  }
  // Unchanged from the first write on: a refused read is not followed by a restore.
  EXPECT_EQ(tampering.CountOf("SdkSetParameter"), 5);
  devicelib::SetDeviceLibrary(&library.fake);
}

TEST_F(DeviceCommands, ClosedModelDialogWritesNothingAndKeepsTheLogin) {
  LogIn(0);
  AnswerLikeTheUser();
  page->ModifyDeviceModel(0);  // typedModel null: the close button
  EXPECT_EQ(Shown("model").size(), 1);
  EXPECT_EQ(library.fake.CountOf("SdkSetParameter"), 0);
  EXPECT_TRUE(Shown().isEmpty());
  EXPECT_EQ(Record(0).loggedIn, 1);
}

TEST_F(DeviceCommands, UnchangedDashesAreWrittenAsTheyStand) {
  LogIn(1);
  Record(1).model = "-- --";
  AnswerLikeTheUser();
  answer = [](const modal::ModalRequest& r) {
    if (auto* model = qobject_cast<CDlgModifyModel*>(r.dialog)) {
      EXPECT_EQ(model->currentModelEdit.text(), "-- --");
      EXPECT_EQ(model->newModelEdit.text(), "-- --");
      model->modifyButton.click();
      return model->result();
    }
    return 1;
  };
  page->ModifyDeviceModel(1);
  EXPECT_EQ(Shown(), QStringList({"info.operate_success"}));
  std::string written(reinterpret_cast<const char*>(library.fake.blocks[191].data() + 4));
  EXPECT_EQ(written, "-- --");
}

// --- the model dialog ----------------------------------------------------------------

class ModelDialog : public DevicePageTest {
 protected:
  void SetUp() override {
    DevicePageTest::SetUp();
    dialog.mac = "00:1c:27:a0:00:01";
    dialog.currentModel = "DV-T100";
    dialog.OnInitDialog();
  }
  CDlgModifyModel dialog;
};

TEST_F(ModelDialog, ShowsMacAndModelAndStartsWithTheCurrentName) {
  EXPECT_FALSE(dialog.macEdit.isEnabled());
  EXPECT_FALSE(dialog.currentModelEdit.isEnabled());
  EXPECT_EQ(dialog.macEdit.text(), "00:1c:27:a0:00:01");
  EXPECT_EQ(dialog.currentModelEdit.text(), "DV-T100");
  EXPECT_EQ(dialog.newModelEdit.text(), "DV-T100");
  // 100 pixels, or what the title needs up to the close button.
  EXPECT_EQ(dialog.titleStatic.pos(), QPoint(10, 10));
  EXPECT_EQ(dialog.titleStatic.height(), 20);
  EXPECT_GE(dialog.titleStatic.width(), 100);
  EXPECT_LE(dialog.titleStatic.geometry().right(), dialog.closeButton.x() - 10);
  EXPECT_EQ(dialog.closeButton.geometry(), QRect(dialog.width() - 24, 6, 20, 20));
}

TEST_F(ModelDialog, NameStaysBelowTwentyBytes) {
  dialog.newModelEdit.clear();
  QTest::keyClicks(&dialog.newModelEdit, "ABCDEFGHIJKLMNOPQRSTUV");
  EXPECT_EQ(dialog.newModelEdit.text(), "ABCDEFGHIJKLMNOPQRS");
  // Multi-byte characters count by their bytes: six of three bytes make 18.
  dialog.newModelEdit.setText(QString::fromUtf8("摄像机摄像机摄"));
  EXPECT_EQ(dialog.newModelEdit.text(), QString::fromUtf8("摄像机摄像机"));
}

TEST_F(ModelDialog, EmptyAndIllegalNamesAreRefusedAndTheDialogStays) {
  struct Case {
    QString text;
    QString notice;
    int icon;
  } cases[] = {
      {"", "msg.Err_new_model_empty", 0x30},
      {"DV?100", "msg.Contain_Illegal_Char", 0x10},
      {"it's", "msg.Contain_Illegal_Char", 0x10},
      {"DV-T100.a\\b", "msg.Contain_Illegal_Char", 0x10},
      {QString::fromUtf8("Kamera-Ä"), "msg.Contain_Illegal_Char", 0x10},
  };
  for (const Case& c : cases) {
    shown.clear();
    dialog.newModelEdit.setText(c.text);
    dialog.OnModify();
    ASSERT_EQ(shown.size(), 1u) << c.text.toStdString();
    EXPECT_EQ(shown[0].text, c.notice);
    EXPECT_EQ(shown[0].icon, c.icon);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.newModel.isNull());
  }
  dialog.newModelEdit.setText("DV-T100 (Lobby) {2}");
  dialog.OnModify();
  EXPECT_EQ(dialog.result(), CDlgModifyModel::kResultModified);
  EXPECT_EQ(dialog.newModel, "DV-T100 (Lobby) {2}");
}

TEST_F(ModelDialog, EnterAndEscDoNotCloseIt) {
  dialog.show();
  QTest::keyClick(&dialog.newModelEdit, Qt::Key_Return);
  QTest::keyClick(&dialog.newModelEdit, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 0);
  dialog.closeButton.click();
  EXPECT_EQ(dialog.result(), CDlgModifyModel::kResultClosed);
}

}  // namespace
}  // namespace devlist_test
