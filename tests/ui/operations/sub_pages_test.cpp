// The five sub-pages: their input checks and refusals, the questions and
// what they send, the default ports, the hide rules and the file dialogs.
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include "tests/ui/operations/operate_page_fixture.h"
#include "ui/framework/key_filter.h"

namespace operate_test {
namespace {

using namespace devicelib;

class SubPageTest : public OperatePageTest {
 protected:
  void SetUp() override {
    OperatePageTest::SetUp();
    Search(ThreeDevices());
    library.fake.ClearCalls();
  }

  // Boxes shown, as "kind icon text".
  QStringList Boxes() const {
    QStringList out;
    for (const modal::ModalRequest& r : shown) out << QString("%1 %2 %3").arg(r.kind).arg(r.icon, 0, 16).arg(r.text);
    return out;
  }
  static QString Box(int icon, const char* key) { return QString("tip %1 %2").arg(icon, 0, 16).arg(Text(key)); }
};

// --- busy, questions, sends ----------------------------------------------------------

TEST_F(SubPageTest, EveryActionIsRefusedWhileARunIsBusy) {
  op->upgradePage.pathEdit.setText("/fw/a.upf");
  op->configurationPage.pathEdit.setText("/cfg/a.coi");
  Check({"10.0.0.20"});
  const std::function<void()> actions[] = {
      [&] { op->upgradePage.OnUpgrade(); },          [&] { op->configurationPage.OnUpdateConfig(); },
      [&] { op->configurationPage.OnDefaultSetting(); }, [&] { op->passwordPage.OnModify(); },
      [&] { op->portPage.OnModify(); },              [&] { op->rebootPage.OnReboot(); }};
  for (const auto& action : actions) {
    shown.clear();
    op->upgradeRun.upgradeBusy = 1;
    action();
    op->upgradeRun.upgradeBusy = 0;
    EXPECT_EQ(Boxes(), QStringList({Box(0x40, "info.Configuring_wait")}));
  }
  EXPECT_TRUE(library.fake.Calls().empty());
}

TEST_F(SubPageTest, ConfirmedRebootRunsAndCancelledDoesNot) {
  Record("10.0.0.20").loggedIn = 1;
  Record("10.0.0.20").loginHandle = 5;
  Check({"10.0.0.20"});
  answer = [](const modal::ModalRequest& r) { return r.icon == 0x20 ? 2 : 1; };
  op->rebootPage.rebootButton.click();
  EXPECT_EQ(Boxes(), QStringList({Box(0x20, "msg.Ensure_reboot")}));
  EXPECT_EQ(library.fake.CountOf("SdkReboot"), 0);
  shown.clear();
  answer = nullptr;
  op->rebootPage.rebootButton.click();
  EXPECT_EQ(Boxes(), QStringList({Box(0x20, "msg.Ensure_reboot"), Box(0x40, "info.operate_completed")}));
  EXPECT_EQ(library.fake.CountOf("SdkReboot"), 1);
}

TEST_F(SubPageTest, RestoreDefaultsAsksForACheckedDeviceBeforeTheBusyTest) {
  op->rebootBusy = 1;
  op->configurationPage.defaultsButton.click();
  op->rebootBusy = 0;
  EXPECT_EQ(Boxes(), QStringList({Box(0x40, "msg.Sel_dev_first")}));
  shown.clear();
  Check({"10.0.0.20", "192.168.1.10"});
  Record("10.0.0.20").loggedIn = 1;
  Record("192.168.1.10").loggedIn = 1;
  op->configurationPage.defaultsButton.click();
  EXPECT_EQ(op->selectedCount, 2);
  EXPECT_EQ(Boxes(), QStringList({Box(0x20, "msg.Ensure_default_setting"), Box(0x40, "info.operate_completed")}));
  EXPECT_EQ(library.fake.CountOf("SdkFactoryReset"), 2);
}

TEST_F(SubPageTest, PathsAreTestedBeforeTheBusyFlags) {
  op->portsBusy = 1;
  op->upgradePage.upgradeButton.click();
  op->configurationPage.importButton.click();
  op->portsBusy = 0;
  EXPECT_EQ(Boxes(), QStringList({Box(0x40, "info.select_upgrade_file"), Box(0x30, "info.select_updata_config_file")}));
}

TEST_F(SubPageTest, UpgradeAndImportAskThenSendTheirRequest) {
  op->upgradePage.pathEdit.setText("/fw/image.upf");
  op->configurationPage.pathEdit.setText("/cfg/site.coi");
  op->upgradePage.upgradeButton.click();
  op->configurationPage.importButton.click();
  EXPECT_EQ(op->upgradePage.upgradeFilePath, "/fw/image.upf");
  EXPECT_EQ(op->configurationPage.configFilePath, "/cfg/site.coi");
  // Nothing is checked: each request reaches the page, which refuses it.
  EXPECT_EQ(Boxes(), QStringList({Box(0x20, "msg.Ensure_upgrade"), Box(0x40, "msg.Sel_dev_first"),
                                  Box(0x20, "msg.Ensure_updata_config"), Box(0x40, "msg.Sel_dev_first")}));
}

// --- password ----------------------------------------------------------------------------

TEST_F(SubPageTest, IllegalPasswordCharacterEmptiesTheEditAndNamesIt) {
  const struct {
    QString typed;
    QString named;
  } cases[] = {{"abc def", " "}, {"pass\"", "\""}, {"p\u00e4ss", "\u00e4"}, {"x\U0001F600", "\U0001F600"}};
  for (const auto& c : cases) {
    shown.clear();
    op->passwordPage.newEdit.setText(c.typed);
    EXPECT_TRUE(op->passwordPage.newEdit.text().isEmpty()) << c.typed.toStdString();
    QString expected = Text("strContainIllegalChar");
    expected.replace("%s", c.named);
    EXPECT_EQ(Boxes(), QStringList({QString("tip 10 %1").arg(expected)})) << c.typed.toStdString();
  }
}

TEST_F(SubPageTest, LongPasswordIsCutTo64WithTheCaretAtTheEnd) {
  op->passwordPage.oldEdit.setText(QString(70, 'a'));
  EXPECT_EQ(op->passwordPage.oldEdit.text(), QString(64, 'a'));
  EXPECT_EQ(op->passwordPage.oldEdit.cursorPosition(), 64);
  op->passwordPage.oldEdit.setText(QString(64, 'b'));
  EXPECT_EQ(op->passwordPage.oldEdit.text(), QString(64, 'b'));
  EXPECT_TRUE(shown.empty());
}

TEST_F(SubPageTest, PasswordModifyChecksTheConfirmationAndSendsBothPasswords) {
  CDlgModifyPassword& page = op->passwordPage;
  page.newEdit.setText("abc");
  page.confirmEdit.setText("abcd");
  page.OnModify();
  EXPECT_EQ(Boxes(), QStringList({Box(0x30, "info.two_pas_inconsistent")}));

  // Empty new and confirmation pass on to the question.
  shown.clear();
  page.newEdit.clear();
  page.confirmEdit.clear();
  answer = [](const modal::ModalRequest&) { return 2; };
  page.OnModify();
  EXPECT_EQ(Boxes(), QStringList({Box(0x20, "msg.Ensure_modify_password")}));

  // Confirmed: the run takes the two passwords.
  answer = nullptr;
  library.fake.userTable.assign(kUserTableSize, 0);
  std::memcpy(library.fake.userTable.data() + kUserTableEntriesOffset + kUserEntryNameOffset, "admin", 5);
  Record("10.0.0.20").loggedIn = 1;
  Record("10.0.0.20").userName = "admin";
  Check({"10.0.0.20"});
  page.oldEdit.setText("old-1");
  page.newEdit.setText("new-2");
  page.confirmEdit.setText("new-2");
  page.OnModify();
  EXPECT_EQ(library.fake.CountOf("SdkModifyUser"), 1);
  EXPECT_STREQ(reinterpret_cast<const char*>(library.fake.lastModifiedOldEntry.data() + kUserEntryPasswordOffset),
               "old-1");
  EXPECT_STREQ(reinterpret_cast<const char*>(library.fake.lastModifiedNewEntry.data() + kUserEntryPasswordOffset),
               "new-2");
}

TEST_F(SubPageTest, HidingThePasswordPageEmptiesItsEdits) {
  op->passwordButton.click();
  for (QLineEdit* e : {&op->passwordPage.oldEdit, &op->passwordPage.newEdit, &op->passwordPage.confirmEdit})
    e->setText("abc");
  op->rebootButton.click();
  op->passwordButton.click();
  for (QLineEdit* e : {&op->passwordPage.oldEdit, &op->passwordPage.newEdit, &op->passwordPage.confirmEdit})
    EXPECT_TRUE(e->text().isEmpty());
  EXPECT_TRUE(shown.empty());  // emptying is no illegal input
}

// --- ports ------------------------------------------------------------------------------

TEST_F(SubPageTest, DefaultPortsComeFromConfigIni) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("Config.ini");
  const struct {
    const char* content;
    QStringList shown;
  } cases[] = {{"[SETTING]\nApp_Name=x\n", {"80", "34567", "554"}},
               {"[DEFAULT_CFG]\nHttp_port=8080\nTcp_port=35000\nRtsp_port=1554\n", {"8080", "35000", "1554"}},
               {"[DEFAULT_CFG]\nHttp_port=70000\nTcp_port=-1\nRtsp_port=\n", {"80", "34567", "554"}},
               {"[DEFAULT_CFG]\nHttp_port=81abc\nTcp_port= 9000\nRtsp_port=abc\n", {"81", "9000", "554"}}};
  for (const auto& c : cases) {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(c.content);
    f.close();
    Main().config.configIniPath = ini;
    CDlgModifyPort page;
    page.Create(op);
    EXPECT_EQ(QStringList({page.httpEdit.text(), page.tcpEdit.text(), page.rtspEdit.text()}), c.shown) << c.content;
  }
}

TEST_F(SubPageTest, EqualPortsAreRefusedAndDifferentOnesSent) {
  CDlgModifyPort& page = op->portPage;
  const struct {
    const char* http;
    const char* tcp;
    const char* rtsp;
  } equal[] = {{"80", "80", "554"}, {"80", "34567", "80"}, {"80", "554", "554"}};
  for (const auto& e : equal) {
    shown.clear();
    page.httpEdit.setText(e.http);
    page.tcpEdit.setText(e.tcp);
    page.rtspEdit.setText(e.rtsp);
    page.OnModify();
    EXPECT_EQ(Boxes(), QStringList({Box(0x30, "info.Port_set_error_same")}));
  }
  shown.clear();
  page.httpEdit.setText("8080");
  page.tcpEdit.setText("34567");
  page.rtspEdit.setText("554");
  page.OnModify();  // nothing checked: the page answers after the question
  EXPECT_EQ(Boxes(), QStringList({Box(0x20, "msg.Ensure_modify_port"), Box(0x40, "msg.Sel_dev_first")}));
  EXPECT_EQ(page.portsPayload.httpPort, 8080);
  EXPECT_EQ(page.portsPayload.tcpPort, 34567);
  EXPECT_EQ(page.portsPayload.rtspPort, 554);
}

TEST_F(SubPageTest, PortEditsAreClampedWhileTyping) {
  op->portPage.httpEdit.setText("70000");
  EXPECT_EQ(op->portPage.httpEdit.text(), "65535");
  op->portPage.tcpEdit.setText("0");
  EXPECT_EQ(op->portPage.tcpEdit.text(), "1");
}

TEST_F(SubPageTest, HidingThePortPageRestoresTheDefaults) {
  op->portsButton.click();
  op->portPage.httpEdit.setText("8081");
  op->portPage.rtspEdit.setText("9554");
  op->upgradeButton.click();
  EXPECT_EQ(op->portPage.httpEdit.text(), QString::number(op->portPage.defaultHttpPort));
  EXPECT_EQ(op->portPage.rtspEdit.text(), QString::number(op->portPage.defaultRtspPort));
}

// --- files and keys -----------------------------------------------------------------------

TEST(SubPageFiles, StartFolderAndFilters) {
  const struct {
    const char* path;
    const char* folder;
  } folders[] = {{"/srv/firmware/a.upf", "/srv/firmware"}, {"", ""}, {"/a.upf", ""}, {"a.upf", ""}};
  for (const auto& f : folders) EXPECT_EQ(CBatchSubPage::StartFolderFor(f.path), f.folder) << f.path;
  EXPECT_EQ(CBatchSubPage::DialogFilter("upf Files (*.upf)|*.upf|bin Files (*.bin)|*.bin|All Files (*.*)|*.*|"),
            "upf Files (*.upf);;bin Files (*.bin);;All Files (*.*)");
  EXPECT_EQ(CBatchSubPage::DialogFilter("coi Files (*.coi)|*.coi||"), "coi Files (*.coi)");
}

TEST_F(SubPageTest, BrowseShowsTheChosenFileAndCancelKeepsThePath) {
  QTemporaryDir dir;
  const QString firmware = dir.filePath("image.upf");
  QFile(firmware).open(QIODevice::WriteOnly);
  const QString config = dir.filePath("site.coi");
  QFile(config).open(QIODevice::WriteOnly);
  QString choice;
  QStringList filters;
  answer = [&](const modal::ModalRequest& r) {
    auto* dialog = qobject_cast<QFileDialog*>(r.dialog);
    if (!dialog || choice.isEmpty()) return static_cast<int>(QDialog::Rejected);
    filters << dialog->nameFilters().join(";;");
    dialog->selectFile(choice);
    return static_cast<int>(QDialog::Accepted);
  };
  choice = firmware;
  op->upgradePage.browseButton.click();
  EXPECT_EQ(op->upgradePage.pathEdit.text(), firmware);
  EXPECT_TRUE(op->upgradePage.upgradeFilePath.empty());  // taken only by UPGRADE
  choice = config;
  op->configurationPage.browseButton.click();
  EXPECT_EQ(op->configurationPage.pathEdit.text(), config);
  EXPECT_EQ(op->configurationPage.configFilePath, config.toStdString());
  EXPECT_EQ(filters, QStringList({"upf Files (*.upf);;bin Files (*.bin);;All Files (*.*)", "coi Files (*.coi)"}));
  // The second browse starts in the folder of the first choice.
  choice.clear();
  op->upgradePage.browseButton.click();
  EXPECT_EQ(shown.back().text, dir.path());
  EXPECT_EQ(op->upgradePage.pathEdit.text(), firmware);
}

TEST_F(SubPageTest, LongLabelsWrapShrinkOrElideWithTheirTextAsTooltip) {
  QLabel& label = op->passwordPage.confirmLabel;  // 100 x 28
  const QString word = "Konfigurationsdateiauswahlfeldbeschriftungstext";
  const struct {
    QString text;
    bool wraps;
    bool elided;
  } cases[] = {{"Port", false, false}, {"Passwort best\u00e4tigen", true, false}, {word, false, true}};
  for (const auto& c : cases) {
    CBatchSubPage::SetLabelText(label, c.text);
    EXPECT_EQ(label.wordWrap(), c.wraps) << c.text.toStdString();
    EXPECT_EQ(label.text() != c.text, c.elided) << c.text.toStdString();
    EXPECT_EQ(label.toolTip(), c.elided ? c.text : QString()) << c.text.toStdString();
    EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(label.wordWrap() ? c.text.section(' ', 0, 0) : label.text()),
              label.width());
  }
}

TEST_F(SubPageTest, OnlyTheRebootPageKeepsEnterAndEsc) {
  EXPECT_FALSE(keyfilter::SwallowsEnterAndEsc(&op->rebootPage.rebootButton));
  for (QWidget* w : {static_cast<QWidget*>(&op->passwordPage.oldEdit), static_cast<QWidget*>(&op->portPage.httpEdit),
                     static_cast<QWidget*>(&op->upgradePage.upgradeButton),
                     static_cast<QWidget*>(&op->configurationPage.defaultsButton), static_cast<QWidget*>(&op->findEdit)})
    EXPECT_TRUE(keyfilter::SwallowsEnterAndEsc(w)) << w->objectName().toStdString();
}

}  // namespace
}  // namespace operate_test
