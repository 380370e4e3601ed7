// The settings dialog on its own: which message OK sends from which page, the
// pages' lists and boxes, the tree, the layout, the keys and the language change.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "core/language/language.h"
#include "ui/framework/dialog_units.h"
#include "ui/tools/dlg_setting.h"

namespace {

struct Received {
  unsigned message;
  pm::WPARAM wParam;
  SearchSettingsPayload search;  // copied when the message carries one
  bool operator==(const Received& o) const {
    return message == o.message && wParam == o.wParam && search.enabled == o.search.enabled &&
           search.minutes == o.search.minutes;
  }
};

std::ostream& operator<<(std::ostream& os, const Received& r) {
  return os << "{0x" << std::hex << r.message << std::dec << ", " << r.wParam << ", " << r.search.enabled << "/"
            << r.search.minutes << "}";
}

class Recorder : public pm::MessageReceiver {
 public:
  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM) override {
    Received r{message, wParam, {}};
    if (message == pm::WM_SEARCH_SETTINGS_CHANGED) {
      r.search = *reinterpret_cast<const SearchSettingsPayload*>(wParam);
      r.wParam = 0;
    }
    received.push_back(r);
    if (log) log->push_back(name);
    return 1;
  }
  std::vector<Received> received;
  std::vector<std::string>* log = nullptr;
  std::string name;
};

std::map<int, LanguageEntry> Languages(std::initializer_list<std::pair<const char*, const char*>> list) {
  std::map<int, LanguageEntry> languages;
  int position = 0;
  for (const auto& [file, display] : list) {
    LanguageEntry e;
    e.fileName = file;
    e.displayName = display;
    languages.emplace(position++, e);
  }
  return languages;
}

SettingsSource DefaultSource() {
  SettingsSource s;
  s.languageIndex = 0;
  s.languages = Languages({{"eng", "English"}, {"chs", "简体中文"}, {"Ge", "Deutsch"}, {"Tr", "Türkçe"}});
  s.columnMask = 0x23FF;  // with bit 0, as the main window holds it
  s.showModel = true;
  s.appName = "Divarod Device Manager";
  s.versionText = "V1.0.0";
  s.releaseText = "2026-12-10  10:00";
  s.periodicSearch = true;
  s.searchMinutes = 60;
  s.searchPeriods = {45, 60, 75};
  return s;
}

// A dialog created over its owner and shown as the left menu shows it.
struct Harness {
  explicit Harness(const SettingsSource& source = DefaultSource()) {
    owner.resize(800, 600);
    owner.show();
    dialog.Create(&owner, source, &mainWindow, &devicePage);
    Show();
  }
  void Show() {
    owner.setEnabled(false);
    dialog.show();
    QCoreApplication::processEvents();
  }
  void Select(QTreeWidgetItem* item) {
    dialog.tree.setCurrentItem(item);
    QCoreApplication::processEvents();
  }
  void Ok() {
    dialog.okButton.click();
    QCoreApplication::processEvents();
  }
  void SelectLanguage(const QString& display) {
    QComboBox& list = dialog.languagePage.languageList;
    list.setCurrentIndex(list.findText(display));
  }
  std::vector<Received> Sent() { return std::exchange(mainWindow.received, {}); }

  QWidget owner;
  Recorder mainWindow;
  Recorder devicePage;
  CDlgSetting dialog;
};

using Msgs = std::vector<Received>;
constexpr unsigned kLang = pm::WM_LANGUAGE_CHANGED;
constexpr unsigned kMask = pm::WM_DEVINFO_MASK_CHANGED;
constexpr unsigned kSearch = pm::WM_SEARCH_SETTINGS_CHANGED;

// One user action, what OK then sends to the main window; a second OK
// without a further change sends nothing, and the dialog is hidden with its
// owner enabled after each.
TEST(SettingsDialog, OkSendsOnlyAChangedValueOfThePageShowing) {
  const struct {
    const char* name;
    std::function<void(Harness&)> act;
    Msgs expected;
  } cases[] = {
      {"another language", [](Harness& h) { h.SelectLanguage("Deutsch"); }, {{kLang, 8, {}}}},
      {"a language matched ignoring case", [](Harness& h) { h.SelectLanguage("Türkçe"); }, {{kLang, 10, {}}}},
      {"the language in use", [](Harness& h) { h.SelectLanguage("English"); }, {}},
      {"columns untouched", [](Harness& h) { h.Select(h.dialog.devInfoItem); }, {}},
      {"every optional column off",
       [](Harness& h) {
         h.Select(h.dialog.devInfoItem);
         for (QCheckBox& box : h.dialog.devInfoPage.boxes)
           if (box.isEnabled()) box.setChecked(false);
       },
       {{kMask, 0x2006, {}}}},
      {"one more column",
       [](Harness& h) {
         h.Select(h.dialog.devInfoItem);
         h.dialog.devInfoPage.Box(10).setChecked(true);
       },
       {{kMask, 0x27FE, {}}}},
      {"search untouched", [](Harness& h) { h.Select(h.dialog.searchItem); }, {}},
      {"search toggled off",
       [](Harness& h) {
         h.Select(h.dialog.searchItem);
         h.dialog.searchPage.periodicBox.click();
       },
       {{kSearch, 0, {0, 60}}}},
      {"another period",
       [](Harness& h) {
         h.Select(h.dialog.searchItem);
         h.dialog.searchPage.periodList.setCurrentIndex(2);
       },
       {{kSearch, 0, {1, 75}}}},
      {"about", [](Harness& h) { h.Select(h.dialog.aboutItem); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    c.act(h);
    h.Ok();
    EXPECT_EQ(h.Sent(), c.expected);
    EXPECT_FALSE(h.dialog.isVisible());
    EXPECT_TRUE(h.owner.isEnabled());
    h.Show();
    h.Ok();
    EXPECT_EQ(h.Sent(), Msgs{});
  }
}

TEST(SettingsDialog, ColumnMaskGoesToTheMainWindowThenTheDeviceList) {
  Harness h;
  std::vector<std::string> order;
  h.mainWindow.log = &order;
  h.mainWindow.name = "main";
  h.devicePage.log = &order;
  h.devicePage.name = "device list";
  h.Select(h.dialog.devInfoItem);
  h.dialog.devInfoPage.Box(3).setChecked(false);
  h.Ok();
  EXPECT_EQ(order, (std::vector<std::string>{"main", "device list"}));
  EXPECT_EQ(h.devicePage.received, (Msgs{{kMask, 0x23F6, {}}}));
  EXPECT_EQ(h.dialog.lastColumnMask, 0x23F6u);
}

TEST(SettingsDialog, OnlyThePageShowingIsAppliedAndTheOthersForgetTheirChanges) {
  Harness h;
  h.SelectLanguage("Deutsch");
  h.Select(h.dialog.devInfoItem);
  h.dialog.devInfoPage.Box(4).setChecked(false);
  h.Ok();
  EXPECT_EQ(h.Sent(), (Msgs{{kMask, 0x23EE, {}}}));
  h.Show();
  h.Select(h.dialog.languageItem);
  EXPECT_EQ(h.dialog.languagePage.languageList.currentText(), "English");
  h.Ok();
  EXPECT_EQ(h.Sent(), Msgs{});
}

TEST(SettingsDialog, UnappliedChangesAreDroppedWhenThePageIsShownAgain) {
  Harness h;
  h.Select(h.dialog.devInfoItem);
  h.dialog.devInfoPage.Box(3).setChecked(false);
  h.Select(h.dialog.searchItem);
  h.dialog.searchPage.periodicBox.click();
  h.dialog.cancelButton.click();
  EXPECT_EQ(h.Sent(), Msgs{});
  h.Show();
  EXPECT_TRUE(h.dialog.searchPage.periodicBox.isChecked());  // reopens on the page last shown
  h.Select(h.dialog.devInfoItem);
  EXPECT_TRUE(h.dialog.devInfoPage.Box(3).isChecked());
}

TEST(SettingsDialog, LanguageListIsMatchedAgainstTheTableByFileName) {
  const struct {
    const char* name;
    int row;
  } cases[] = {{"eng", 0}, {"ENG", 0}, {"Tr", 10}, {"tr", 10}, {"fa", 17}, {"Thai", 25},
               {"eng.lang", CDlgSetLanguage::kNoLanguage}, {"Klingon", CDlgSetLanguage::kNoLanguage},
               {"", CDlgSetLanguage::kNoLanguage}};
  for (const auto& c : cases) EXPECT_EQ(CDlgSetLanguage::LanguageRowOf(c.name), c.row) << c.name;
}

TEST(SettingsDialog, AnEntryWithoutATableRowAppliesNothing) {
  SettingsSource source = DefaultSource();
  source.languages = Languages({{"eng", "English"}, {"Klingon", "tlhIngan"}});
  Harness h(source);
  EXPECT_EQ(h.dialog.languagePage.languageList.itemData(1).toInt(), 26);
  h.SelectLanguage("tlhIngan");
  h.Ok();
  EXPECT_EQ(h.Sent(), Msgs{});
  h.Show();
  EXPECT_EQ(h.dialog.languagePage.languageList.currentText(), "English");
}

TEST(SettingsDialog, LanguageInUseMissingFromTheListShowsNoSelectionAndOkTakesTheFirstRow) {
  for (int inUse : {8, 0}) {
    SCOPED_TRACE(inUse);
    SettingsSource source = DefaultSource();
    source.languageIndex = inUse;
    source.languages = Languages({{"chs", "简体中文"}, {"Tr", "Türkçe"}});
    Harness h(source);
    EXPECT_EQ(h.dialog.languagePage.languageList.currentIndex(), -1);
    h.Ok();
    EXPECT_EQ(h.Sent(), (inUse == 0 ? Msgs{} : Msgs{{kLang, 0, {}}}));
  }
}

TEST(SettingsDialog, SearchPageEnablesItsListWithTheBox) {
  Harness h;
  h.Select(h.dialog.searchItem);
  CDlgSetSearchParam& page = h.dialog.searchPage;
  EXPECT_EQ(page.periodList.count(), 3);
  EXPECT_EQ(page.periodList.currentText(), "60");
  for (bool checked : {false, true}) {
    if (page.periodicBox.isChecked() != checked) page.periodicBox.click();
    EXPECT_EQ(page.periodList.isEnabled(), checked);
    EXPECT_EQ(page.periodLabel.isEnabled(), checked);
    EXPECT_EQ(page.unitLabel.isEnabled(), checked);
  }
}

TEST(SettingsDialog, SearchPageWithoutPeriodsIsDisabledAndReportsTheSearchOff) {
  SettingsSource source = DefaultSource();
  source.searchPeriods.clear();
  Harness h(source);
  h.Select(h.dialog.searchItem);
  CDlgSetSearchParam& page = h.dialog.searchPage;
  EXPECT_FALSE(page.periodicBox.isEnabled());
  EXPECT_FALSE(page.periodicLabel.isEnabled());
  EXPECT_FALSE(page.periodicBox.isChecked());
  EXPECT_FALSE(page.periodList.isEnabled());
  h.Ok();
  EXPECT_EQ(h.Sent(), (Msgs{{kSearch, 0, {0, 0}}}));
}

// A stored period that is no longer offered would read as 0 minutes (a search
// without pause); the first offered period is selected instead.
TEST(SettingsDialog, StoredPeriodNotOfferedSelectsTheFirstPeriod) {
  SettingsSource source = DefaultSource();
  source.searchMinutes = 50;
  Harness h(source);
  h.Select(h.dialog.searchItem);
  EXPECT_EQ(h.dialog.searchPage.periodList.currentText(), "45");
  h.Ok();
  EXPECT_EQ(h.Sent(), (Msgs{{kSearch, 0, {1, 45}}}));
}

TEST(SettingsDialog, ColumnsPageShowsTheMaskWithTheAlwaysShownBoxesDisabled) {
  Harness h;
  h.Select(h.dialog.devInfoItem);
  CDlgSetDevInfo& page = h.dialog.devInfoPage;
  for (int bit = 1; bit <= 13; ++bit) {
    EXPECT_EQ(page.Box(bit).isChecked(), ((0x23FF >> bit) & 1) != 0) << bit;
    EXPECT_EQ(page.Box(bit).isEnabled(), bit != 1 && bit != 2 && bit != 13) << bit;
    EXPECT_TRUE(page.Box(bit).isVisible()) << bit;
  }
}

TEST(SettingsDialog, WithoutTheModelColumnThreeBoxesMoveUpIntoItsPlace) {
  SettingsSource withModel = DefaultSource();
  Harness reference(withModel);
  reference.Select(reference.dialog.devInfoItem);
  SettingsSource source = DefaultSource();
  source.showModel = false;
  source.columnMask = 0x23FF & ~0x100;
  Harness h(source);
  h.Select(h.dialog.devInfoItem);
  CDlgSetDevInfo& page = h.dialog.devInfoPage;
  CDlgSetDevInfo& full = reference.dialog.devInfoPage;
  EXPECT_FALSE(page.Box(8).isVisible());
  EXPECT_EQ(page.Box(9).pos(), full.Box(8).pos());    // cloud where the model was
  EXPECT_EQ(page.Box(11).pos(), full.Box(9).pos());   // start time where the cloud was
  EXPECT_EQ(page.Box(13).pos(), full.Box(11).pos());  // login state where the start time was
  for (int bit : {1, 2, 3, 4, 5, 6, 7, 10, 12}) EXPECT_EQ(page.Box(bit).pos(), full.Box(bit).pos()) << bit;
  h.Ok();
  EXPECT_EQ(h.Sent(), Msgs{});  // the hidden model box is off, as the mask says
}

TEST(SettingsDialog, TreeSwitchesPagesButTheRootChangesNothing) {
  Harness h;
  EXPECT_EQ(h.dialog.CurrentPage(), CDlgSetting::kPageLanguage);
  const struct {
    QTreeWidgetItem* item;
    int page;
    CSettingsPage* shown;
  } steps[] = {{h.dialog.searchItem, 13, &h.dialog.searchPage},   {h.dialog.rootItem, 13, &h.dialog.searchPage},
               {h.dialog.devInfoItem, 6, &h.dialog.devInfoPage},  {h.dialog.aboutItem, 12, &h.dialog.aboutPage},
               {h.dialog.languageItem, 5, &h.dialog.languagePage}};
  for (const auto& step : steps) {
    h.Select(step.item);
    EXPECT_EQ(h.dialog.CurrentPage(), step.page);
    for (int id : {5, 6, 12, 13}) EXPECT_EQ(h.dialog.Page(id)->isVisible(), h.dialog.Page(id) == step.shown) << id;
  }
  EXPECT_TRUE(h.dialog.rootItem->isExpanded());
  EXPECT_TRUE(h.dialog.rootItem->icon(0).isNull());
  EXPECT_EQ(h.dialog.tree.topLevelItemCount(), 1);
  EXPECT_EQ(h.dialog.rootItem->childCount(), 4);
  for (QTreeWidgetItem* item : {h.dialog.languageItem, h.dialog.searchItem, h.dialog.devInfoItem, h.dialog.aboutItem})
    EXPECT_FALSE(item->icon(0).isNull());
}

TEST(SettingsDialog, LayoutWithAndWithoutAPageLogo) {
  for (int logo : {0, 40}) {
    SCOPED_TRACE(logo);
    SettingsSource source = DefaultSource();
    if (logo) {
      source.pageLogo = QPixmap(logo, logo);
      source.pageLogo.fill(Qt::blue);
    }
    Harness h(source);
    const int w = logo ? logo : 32;
    CDlgSetting& d = h.dialog;
    // Client coordinates: the area inside the thin border.
    const QSize client = d.client.size();
    EXPECT_EQ(d.logoPicture.geometry(), QRect(10, 25 - w / 2, w, w));
    EXPECT_EQ(d.titleText.geometry(), QRect(w + 20, 15, 300, 20));
    EXPECT_EQ(d.closeButton.geometry(), QRect(client.width() - 24, 6, 20, 20));
    EXPECT_EQ(d.tree.geometry(), QRect(0, 70, 180, client.height() - 70));
    EXPECT_FALSE(d.divider.isVisible());
    const QRect page(180, 50, client.width() - 180, client.height() - 100);
    EXPECT_EQ(d.PageRect(), page);
    EXPECT_EQ(d.languagePage.geometry(), page);
    EXPECT_EQ(d.aboutPage.geometry(), page);
    EXPECT_LT(d.okButton.geometry().right(), d.cancelButton.geometry().left());
    EXPECT_GE(d.okButton.y(), page.bottom());
  }
}

// A popup with a thin border: the template's client area inside a 1-pixel
// frame, so the white body does not run into a white window behind it.
TEST(SettingsDialog, AThinBorderFramesTheClientArea) {
  Harness harness;
  CDlgSetting& d = harness.dialog;
  const QSize client = dialog_units::ShellDlgRect(0, 0, 356, 218).size();
  EXPECT_EQ(d.size(), client + QSize(2, 2));
  const QImage shot = d.grab().toImage();
  const auto colour = [&](int x, int y) { return shot.pixelColor(x, y).name().toStdString(); };
  const std::string border = colour(0, 0);
  EXPECT_LT(shot.pixelColor(0, 0).lightness(), 128) << border;
  const int w = d.width(), h = d.height();
  for (const QPoint& at : {QPoint(0, h / 2), QPoint(0, h - 1), QPoint(w - 1, h / 2), QPoint(w / 2, 0),
                           QPoint(w / 2, h - 1), QPoint(w - 1, h - 1), QPoint(100, h - 1)})
    EXPECT_EQ(colour(at.x(), at.y()), border) << at.x() << "," << at.y();
  // Inside the border: the dark band on top, the tree and the white page below it.
  EXPECT_EQ(colour(w / 2, 1), "#313131");
  EXPECT_EQ(colour(w - 2, h - 2), "#ffffff");
  EXPECT_NE(colour(1, h - 2), border);
}

TEST(SettingsDialog, AboutPageShowsNameVersionAndRelease) {
  Harness h;
  h.Select(h.dialog.aboutItem);
  CDlgSetAbout& page = h.dialog.aboutPage;
  EXPECT_EQ(page.nameText.text(), "Divarod Device Manager");
  EXPECT_EQ(page.versionValue.text(), "V1.0.0");
  EXPECT_EQ(page.releaseValue.text(), "2026-12-10  10:00");
  EXPECT_EQ(page.versionLabel.text(), Text("ck.Version") + ":");
  EXPECT_EQ(page.releaseLabel.text(), Text("ck.Release_time") + ":");
  EXPECT_EQ(page.nameText.geometry(), QRect(50, 80, page.width() - 100, 20));
  EXPECT_EQ(page.versionValue.geometry(), QRect(150, 120, 200, 20));
  EXPECT_EQ(page.releaseValue.geometry(), QRect(150, 150, 200, 20));
}

TEST(SettingsDialog, EnterAndEscNeitherApplyNorClose) {
  Harness h;
  h.SelectLanguage("Deutsch");
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QTest::keyClick(&h.dialog, static_cast<Qt::Key>(key));
    QTest::keyClick(&h.dialog.languagePage.languageList, static_cast<Qt::Key>(key));
    EXPECT_TRUE(h.dialog.isVisible()) << key;
  }
  EXPECT_EQ(h.Sent(), Msgs{});
  EXPECT_FALSE(h.owner.isEnabled());
}

TEST(SettingsDialog, EveryWayOutHidesTheDialogAndGivesTheOwnerBack) {
  Harness h;
  QSignalSpy closed(&h.dialog, &CDlgSetting::closed);
  const std::function<void()> ways[] = {[&] { h.dialog.okButton.click(); }, [&] { h.dialog.cancelButton.click(); },
                                        [&] { h.dialog.closeButton.click(); }, [&] { h.dialog.close(); }};
  int expected = 0;
  for (const auto& way : ways) {
    h.Show();
    way();
    EXPECT_FALSE(h.dialog.isVisible());
    EXPECT_TRUE(h.owner.isEnabled());
    EXPECT_EQ(closed.count(), ++expected);
  }
}

TEST(SettingsDialog, PressInTheBandDragsTheWindow) {
  Harness h;
  const struct {
    int y;
    bool moves;
  } presses[] = {{10, true}, {49, true}, {50, false}, {200, false}};
  for (const auto& p : presses) {  // client y
    const QPoint before = h.dialog.pos();
    QWidget* target = h.dialog.client.childAt(300, p.y) ? h.dialog.client.childAt(300, p.y) : &h.dialog.client;
    const QPoint at = target->mapFrom(&h.dialog.client, QPoint(300, p.y));
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(30, 20)), target->mapToGlobal(QPointF(at + QPoint(30, 20))),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at + QPoint(30, 20));
    EXPECT_EQ(h.dialog.pos() != before, p.moves) << p.y;
    h.dialog.move(before);
  }
}

// A language file of our own: the dialog and its pages read the new texts
// when the main window passes the change on.
TEST(SettingsDialog, LanguageChangeReachesTheDialogAndItsFourPages) {
  Harness h;
  QTemporaryDir folder;
  QDir().mkpath(folder.path() + "/Config File/Lang");
  QFile file(folder.path() + "/Config File/Lang/Ge.lang");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[String]\ntx.Sys_set=Einstellungen\ntx.OK=Gut\ntx.Set_lang=Sprache\ntx.SwitchLang=Sprache:\n"
             "tx.Period=Alle\nck.Type=Typ\nck.Version=Fassung\n");
  file.close();
  SwitchLanguage(8, folder.path() + "/");
  pm::SendPrivateMessage(&h.dialog, kLang, 8);
  EXPECT_EQ(h.dialog.titleText.text(), "Einstellungen");
  EXPECT_EQ(h.dialog.okButton.caption, "Gut");
  EXPECT_EQ(h.dialog.rootItem->text(0), "Einstellungen");
  EXPECT_EQ(h.dialog.languageItem->text(0), "Sprache");
  QCoreApplication::processEvents();  // the pages' notices are posted
  EXPECT_EQ(h.dialog.languagePage.languageLabel.text(), "Sprache:");
  EXPECT_EQ(h.dialog.searchPage.periodLabel.text(), "Alle");
  EXPECT_EQ(h.dialog.devInfoPage.Box(3).text(), "Typ");
  EXPECT_EQ(h.dialog.aboutPage.versionLabel.text(), "Fassung:");
  SwitchLanguage(0, folder.path() + "/");  // no English file here: every key reads as itself again
}

}  // namespace
