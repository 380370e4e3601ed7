// The settings dialog over the real main window: OK changes the setting in
// Config.ini and nothing else of the file; the device list takes a new
// column mask; HELP opens the help page only where it is offered.
#include <QFile>
#include <optional>

#include "tests/ui/mainwindow/main_window_fixture.h"
#include "ui/tools/dlg_help.h"

namespace {

const QByteArray kConfig =
    "; settings of a test\r\n"
    "[SETTING]\r\nApp_Name=Divarod Test\r\nVersion=V9.9\r\n"
    "[LANGUAGE_CFG]\r\nDefault=English\r\nLang=eng|Ge|Tr\r\neng=English\r\nGe=Deutsch\r\nTr=Türkçe\r\n"
    "[MODEL_CFG]\r\nShow_Model=1\r\n"
    "[DEVINFO_CFG]\r\nDev_Info=9215\r\n"
    "[SEARCH_CFG]\r\nPeriod_Time=45|60|75\r\nPeriodic_Search=0\r\nSel_Time=60\r\n";

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(MainWindowTest, SettingsOkWritesOnlyTheChangedSettingToConfigIni) {
  const struct {
    const char* name;
    std::function<void(CDlgSetting&)> act;
    QByteArray from;
    QByteArray to;
  } cases[] = {
      {"language",
       [](CDlgSetting& d) {
         d.languagePage.languageList.setCurrentIndex(d.languagePage.languageList.findText("Deutsch"));
       },
       "Default=English", "Default=Deutsch"},
      {"columns",
       [](CDlgSetting& d) {
         d.tree.setCurrentItem(d.devInfoItem);
         d.devInfoPage.Box(3).setChecked(false);
       },
       "Dev_Info=9215", "Dev_Info=9206"},
      {"search",
       [](CDlgSetting& d) {
         d.tree.setCurrentItem(d.searchItem);
         d.searchPage.periodicBox.click();
         d.searchPage.periodList.setCurrentIndex(2);
       },
       "Periodic_Search=0\r\nSel_Time=60", "Periodic_Search=1\r\nSel_Time=75"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteConfig(kConfig);
    ShowWindow();
    const QString ini = folder.path() + "/Config File/Config/Config.ini";
    const QByteArray before = ReadFile(ini);  // start-up has written the language back, unchanged
    ASSERT_EQ(before, kConfig);
    dlg->menuPage.settingButton.click();
    c.act(dlg->settingDialog);
    dlg->settingDialog.okButton.click();
    QCoreApplication::processEvents();
    QByteArray expected = kConfig;
    expected.replace(c.from, c.to);
    EXPECT_EQ(ReadFile(ini), expected);
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_EQ(dlg->menuPage.settingButton.forcedState, 0);
    dlg.reset();
    MainDialogInstance = nullptr;
  }
}

TEST_F(MainWindowTest, SettingsReachTheMainWindowAndTheDeviceList) {
  WriteConfig(kConfig);
  ShowWindow();
  CDlgSetting& d = dlg->settingDialog;
  dlg->menuPage.settingButton.click();
  d.tree.setCurrentItem(d.devInfoItem);
  d.devInfoPage.Box(4).setChecked(false);
  d.okButton.click();
  EXPECT_EQ(dlg->config.columnMask, 0x23EE);
  EXPECT_EQ(dlg->devInfoPage.shownColumns, 0x23EE);

  dlg->menuPage.settingButton.click();
  d.tree.setCurrentItem(d.searchItem);
  d.searchPage.periodicBox.click();
  d.okButton.click();
  EXPECT_TRUE(dlg->PeriodicSearchTimerActive());
  EXPECT_GT(dlg->PeriodicSearchTimerRemainingMs(), 59 * 60000);

  dlg->menuPage.settingButton.click();
  d.tree.setCurrentItem(d.languageItem);
  d.languagePage.languageList.setCurrentIndex(d.languagePage.languageList.findText("Türkçe"));
  d.okButton.click();
  EXPECT_EQ(dlg->config.languageIndex, 10);
  EXPECT_EQ(d.lastLanguage, 10);
}

TEST_F(MainWindowTest, HelpOpensTheHelpPageOnlyWhereItIsOffered) {
  for (bool offered : {true, false}) {
    SCOPED_TRACE(offered);
    WriteConfig(kConfig + (offered ? "[HELP_CFG]\r\nShow_Help=1\r\n" : ""));
    // What the page showed, read while it runs: it is gone once HELP returns.
    struct Shown {
      QSize size;
      uint32_t background = 0;
      uint32_t title = 0;
      QString titleText;
      bool picture = false;
    };
    std::optional<Shown> shown;
    answer = [&](const modal::ModalRequest& r) {
      if (r.kind == "help") {
        const auto* page = static_cast<CDlgHelp*>(r.dialog);
        shown = Shown{page->size(), page->backgroundColour, page->titleColour, page->titleText.text(),
                      !page->picture.pixmap().isNull()};
      }
      return 1;
    };
    ShowWindow();
    QWidget* help = dlg->findChild<QWidget*>("helpButton");
    ASSERT_TRUE(help);
    EXPECT_EQ(help->isVisible(), offered);
    if (offered) {
      static_cast<CxSkinButton*>(help)->click();
      ASSERT_TRUE(shown);
      EXPECT_EQ(shown->size, QSize(640, 578));
      EXPECT_EQ(shown->background, 0x313131u);
      EXPECT_EQ(shown->title, 0xFFFFFFu);
      EXPECT_EQ(shown->titleText, Text("tx.Help"));
    }
    dlg.reset();
    MainDialogInstance = nullptr;
  }
}

}  // namespace
