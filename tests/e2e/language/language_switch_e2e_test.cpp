// The program switched through its settings dialog to each of the 26
// languages: afterwards every window shows that language's texts (no raw
// key, nothing left from the language before), and the last choice is the
// language of the next start.
//
// The test copies itself beside the shipped Config File and runs that copy
// as the program: start-up, the instance lock, the real device library and
// the main window are the program's own; only the main window's modal run is
// taken by a driver that works the window as a user would. The program
// binary itself then starts once more from the same folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "app/device_library_setup.h"
#include "app/divarod_app.h"
#include "core/ini/private_profile.h"
#include "core/language/language.h"
#include "tests/ui/sweep/shown_texts.h"
#include "tests/ui/sweep/window_catalogue.h"
#include "ui/framework/modal_seam.h"

namespace {

// Switched to in this order from English, so each comes from another one;
// the last (Hebrew, right to left) is the choice the restart must keep.
const std::vector<int>& SwitchOrder() {
  static const std::vector<int> order = [] {
    std::vector<int> o;
    for (int i = 1; i < kLanguageCount; ++i) o.push_back(i);
    o.push_back(0);
    o.push_back(23);
    return o;
  }();
  return order;
}

QHash<QString, QString> LanguageFileOf(const CDivarodDlg& main, int index) {
  return ReadLanguageFile(main.config.langFolder + LanguageTable[static_cast<std::size_t>(index)].fileName);
}

// Every window, opened in turn: the number of texts that are raw keys or
// left from the language before.
int CheckEveryWindow(CDivarodDlg& main, int now, int before) {
  const QHash<QString, QString> nowTexts = LanguageFileOf(main, now);
  const QHash<QString, QString> beforeTexts = LanguageFileOf(main, before);
  QSet<QString> nowValues;
  for (const QString& t : nowTexts) nowValues.insert(t);
  const QByteArray language = LanguageTable[static_cast<std::size_t>(now)].fileName.toUtf8();
  int faults = nowTexts.isEmpty() ? 1 : 0;
  for (const SweepWindow& window : SweepWindows()) {
    window.open(main, [&](QWidget& shown) {
      for (const ShownText& t : ShownTexts(shown)) {
        const QStringList raw = RawKeysIn(t.text, nowTexts);
        const QString left = beforeTexts.key(t.text);
        if (!raw.isEmpty()) {
          std::fprintf(stderr, "%s: %s %s shows the key %s\n", language.constData(), qPrintable(window.name),
                       qPrintable(t.where), qPrintable(raw.join(", ")));
          ++faults;
        } else if (!left.isEmpty() && !nowValues.contains(t.text)) {
          std::fprintf(stderr, "%s: %s %s still shows \"%s\" (%s)\n", language.constData(), qPrintable(window.name),
                       qPrintable(t.where), qPrintable(t.text), qPrintable(left));
          ++faults;
        }
      }
    });
  }
  return faults;
}

// Through the left menu, the tree, the language list and OK.
bool SwitchThroughTheDialog(CDivarodDlg& main, int index) {
  main.menuPage.settingButton.click();
  CDlgSetting& dialog = main.settingDialog;
  if (!dialog.isVisible() || main.isEnabled()) return false;
  dialog.tree.setCurrentItem(dialog.languageItem);
  QComboBox& list = dialog.languagePage.languageList;
  const int item = list.findData(index);
  if (item < 0) return false;
  list.setCurrentIndex(item);
  dialog.okButton.click();
  ServeEvents();
  return main.config.languageIndex == index && main.isEnabled();
}

int Drive(const QString& mode, int expected) {
  InstallDeviceLibrary();
  int faults = 0;
  bool ran = false;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (r.kind != "main-window") return SweepAnswer(r);
    ran = true;
    auto& main = *static_cast<CDivarodDlg*>(r.dialog);
    main.show();
    // The first search was asked for by a post while the window initialised:
    // serving it starts the search, then its end is waited for.
    ServeEvents();
    QElapsedTimer clock;
    clock.start();
    while (main.searching.load() && clock.elapsed() < 10000) ServeEvents();
    if (mode == "switch") {
      int before = main.config.languageIndex;
      for (int index : SwitchOrder()) {
        if (!SwitchThroughTheDialog(main, index)) {
          std::fprintf(stderr, "the dialog did not switch to %d\n", index);
          ++faults;
        }
        faults += CheckEveryWindow(main, index, before);
        before = index;
      }
    } else {
      if (main.config.languageIndex != expected || main.settingDialog.lastLanguage != expected) {
        std::fprintf(stderr, "started in language %d, not %d\n", main.config.languageIndex, expected);
        ++faults;
      }
      faults += CheckEveryWindow(main, expected, 0);
    }
    main.hide();
    return 0;
  });
  CDivarodApp().InitInstance();
  modal::SetAnswerer({});
  return ran && faults == 0 ? 0 : 1;
}

// A program folder of its own: this test's executable as the program, the
// program binary, the shipped Config File and a runtime folder for the lock.
class ProgramFolder {
 public:
  ProgramFolder() {
    const QString bin = QCoreApplication::applicationDirPath();
    for (const auto& [from, to] : {std::pair{QCoreApplication::applicationFilePath(), QString("driver")},
                                   std::pair{QString(DIVAROD_BIN), QString("divarod")}}) {
      QFile::copy(from, Path(to));
      QFile::setPermissions(Path(to), QFile::permissions(from));
    }
    QProcess::execute("cp", {"-r", bin + "/Config File", dir_.path() + "/"});
    QDir().mkpath(Path("runtime"));
  }
  QString Path(const QString& name) const { return dir_.path() + "/" + name; }
  QString ConfigIni() const { return Path("Config File/Config/Config.ini"); }

  // Runs program with args to its end; its standard error is returned in log.
  int Run(const QString& program, const QStringList& args, QByteArray& log) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", Path("runtime"));
    env.insert("DIVAROD_DISCOVERY_TARGETS", "none");  // the first search stays off the network
    env.insert("DIVAROD_MODAL_LOG", Path("modal.log"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(Path(program), args);
    if (!p.waitForFinished(240000)) {
      p.kill();
      p.waitForFinished();
      log = "timed out\n" + p.readAllStandardError();
      return -1;
    }
    log = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

 private:
  QTemporaryDir dir_;
};

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(LanguageSwitchE2e, EveryLanguageThroughTheDialogAndTheChoiceSurvivesARestart) {
  ProgramFolder folder;
  QByteArray log;
  ASSERT_EQ(folder.Run("driver", {"--drive", "switch"}, log), 0) << log.toStdString();

  const QString expected = LanguageTable[23].displayName;
  QString stored;
  ini::GetPrivateProfileString("LANGUAGE_CFG", "Default", "", stored, 256, folder.ConfigIni());
  EXPECT_EQ(stored, expected);

  EXPECT_EQ(folder.Run("driver", {"--drive", "restart", "23"}, log), 0) << log.toStdString();

  // The program itself starts in the stored language: start-up writes it back
  // unchanged, and nothing else of the file moves.
  const QByteArray before = ReadFile(folder.ConfigIni());
  EXPECT_EQ(folder.Run("divarod", {}, log), 0) << log.toStdString();
  EXPECT_EQ(ReadFile(folder.ConfigIni()), before);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc >= 3 && QByteArray(argv[1]) == "--drive") {
    QApplication app(argc, argv);
    return Drive(QString::fromLocal8Bit(argv[2]), argc > 3 ? std::atoi(argv[3]) : 0);
  }
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
