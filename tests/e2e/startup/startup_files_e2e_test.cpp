// Start-up with the files beside the program in a state an installer may
// meet: a Config.ini the user may not read or write, a FIFO where
// Config.ini or a language file is expected.
//
// The test copies itself into a program folder of its own and runs that copy
// as the program, as an ordinary user (tests/support/ordinary_user.h):
// start-up, the instance lock and the main window's initialisation (the
// configuration read, the language applied and written back) are the
// program's own; only the main window's modal run is taken, so the copy ends
// once the window has initialised and served its first events.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/device_library_setup.h"
#include "app/divarod_app.h"
#include "tests/support/ordinary_user.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

// The program's run, with the main window shown until it has initialised and
// its first search has ended. Exit 0 when the main window ran.
int Drive() {
  InstallDeviceLibrary();
  bool ran = false;
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    if (r.kind != "main-window") return r.defaultResult;
    ran = true;
    auto& main = *static_cast<CDivarodDlg*>(r.dialog);
    main.show();
    QElapsedTimer clock;
    clock.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (main.searching.load() && clock.elapsed() < 10000);
    main.hide();
    return 0;
  });
  CDivarodApp().InitInstance();
  modal::SetAnswerer({});
  return ran ? 0 : 1;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct stat StatOf(const QString& path) {
  struct stat st {};
  ::lstat(QFile::encodeName(path).constData(), &st);
  return st;
}

// The program folder: this test as the program, the shipped Config File, a
// runtime folder for the lock; all of it the ordinary user's.
class ProgramFolder {
 public:
  ProgramFolder() {
    QFile::copy(QCoreApplication::applicationFilePath(), Path("driver"));
    QFile::setPermissions(Path("driver"), QFile::permissions(QCoreApplication::applicationFilePath()));
    QProcess::execute("cp", {"-r", QCoreApplication::applicationDirPath() + "/Config File", dir_.path() + "/"});
    QDir().mkpath(Path("runtime"));
    QFile::setPermissions(Path("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  QString Path(const QString& name) const { return dir_.path() + "/" + name; }
  QString ConfigIni() const { return Path("Config File/Config/Config.ini"); }
  QString Lang(const QString& file) const { return Path("Config File/Lang/" + file); }

  void WriteConfig(const QByteArray& text) const {
    QFile f(ConfigIni());
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
  }

  // Runs the program to its end as the ordinary user; false when it did not
  // end within the time (it is then killed).
  bool Run(int& exitCode, QByteArray& log) const {
    QDirIterator it(dir_.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) testsupport::GiveToOrdinaryUser(QFile::encodeName(it.next()).toStdString());
    testsupport::GiveToOrdinaryUser(QFile::encodeName(dir_.path()).toStdString());

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", Path("runtime"));
    env.insert("HOME", dir_.path());
    env.insert("DIVAROD_DISCOVERY_TARGETS", "none");  // the first search stays off the network
    env.remove("DIVAROD_MODAL_LOG");
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setChildProcessModifier([] {
      if (!testsupport::DropToOrdinaryUser()) ::_exit(127);
    });
    p.start(Path("driver"), {"--drive"});
    const bool ended = p.waitForFinished(30000);
    if (!ended) {
      p.kill();
      p.waitForFinished(5000);
    }
    log = p.readAllStandardError();
    exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return ended;
  }

 private:
  QTemporaryDir dir_;
};

// The stored language differs from the one start-up writes back only in
// letter case, so a write would show as a change of the file.
const QByteArray kConfig =
    "[SETTING]\r\nApp_Name=Divarod\r\n[LANGUAGE_CFG]\r\nDefault=english\r\nLang=eng|It\r\neng=English\r\n"
    "It=Italiano\r\n[CUSTOMER_CFG]\r\nId=5f0c2a\r\n[DEVINFO_CFG]\r\nDev_Info=1023\r\n[SEARCH_CFG]\r\n"
    "Periodic_Search=0\r\nSel_Time=10\r\nPeriod_Time=5|10|30\r\n";

struct KeptCase {
  const char* name;
  mode_t mode;
};

void PrintTo(const KeptCase& c, std::ostream* os) { *os << c.name; }

class ConfigTheUserMayNotChange : public ::testing::TestWithParam<KeptCase> {};

// A Config.ini that is there but that the user may not read is never taken
// for a missing one, and one the user may not write is not replaced: the
// language start-up writes back fails and the settings stay as they are.
TEST_P(ConfigTheUserMayNotChange, IsKeptByStartUp) {
  ProgramFolder folder;
  folder.WriteConfig(kConfig);
  const ino_t inode = StatOf(folder.ConfigIni()).st_ino;
  ASSERT_EQ(::chmod(QFile::encodeName(folder.ConfigIni()).constData(), GetParam().mode), 0);
  int exitCode = -1;
  QByteArray log;
  ASSERT_TRUE(folder.Run(exitCode, log)) << log.toStdString();
  EXPECT_EQ(exitCode, 0) << log.toStdString();
  EXPECT_EQ(ReadAll(folder.ConfigIni()), kConfig);
  EXPECT_EQ(StatOf(folder.ConfigIni()).st_ino, inode) << "the file was replaced";
  EXPECT_EQ(StatOf(folder.ConfigIni()).st_mode & 07777, GetParam().mode);
  EXPECT_EQ(QDir(folder.Path("Config File/Config")).entryList(QDir::Files | QDir::Hidden),
            QStringList({"Config.ini", "Encode.ini"}));
}

INSTANTIATE_TEST_SUITE_P(Modes, ConfigTheUserMayNotChange,
                         ::testing::Values(KeptCase{"unreadable", 0200}, KeptCase{"read_only", 0444}),
                         [](const auto& info) { return std::string(info.param.name); });

// The same start with a Config.ini the user may change writes the language
// back in its own spelling, and changes nothing else.
TEST(StartUpFiles, ConfigTheUserMayChangeGetsTheLanguageWrittenBack) {
  ProgramFolder folder;
  folder.WriteConfig(kConfig);
  int exitCode = -1;
  QByteArray log;
  ASSERT_TRUE(folder.Run(exitCode, log)) << log.toStdString();
  EXPECT_EQ(exitCode, 0) << log.toStdString();
  EXPECT_EQ(ReadAll(folder.ConfigIni()), QByteArray(kConfig).replace("Default=english", "Default=English"));
}

// A FIFO lying where Config.ini or the stored language's file is expected
// holds nothing up: start-up goes on as with a missing file, and the FIFO is
// left as it is.
TEST(StartUpFiles, FifoWhereAFileIsExpectedIsPassedOver) {
  for (const char* fifo : {"Config File/Config/Config.ini", "Config File/Lang/It.lang"}) {
    ProgramFolder folder;
    folder.WriteConfig(QByteArray(kConfig).replace("Default=english", "Default=Italiano"));
    const QByteArray path = QFile::encodeName(folder.Path(fifo));
    ASSERT_EQ(::unlink(path.constData()), 0) << fifo;
    ASSERT_EQ(::mkfifo(path.constData(), 0644), 0) << fifo;
    int exitCode = -1;
    QByteArray log;
    EXPECT_TRUE(folder.Run(exitCode, log)) << fifo << ": start-up waited on the FIFO";
    EXPECT_EQ(exitCode, 0) << fifo << log.toStdString();
    EXPECT_TRUE(S_ISFIFO(StatOf(folder.Path(fifo)).st_mode)) << fifo;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc >= 2 && QByteArray(argv[1]) == "--drive") {
    QApplication app(argc, argv);
    return Drive();
  }
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
