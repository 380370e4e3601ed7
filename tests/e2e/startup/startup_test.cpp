// The real program, started as separate processes from a folder of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

// A program folder of its own: the executable, the shipped data and a
// Config.ini with the given App_Name.
class ProgramFolder {
 public:
  explicit ProgramFolder(const QString& appName) {
    const QString dst = dir_.path();
    QFile::copy(DIVAROD_BIN, dst + "/divarod");
    QFile::setPermissions(dst + "/divarod", QFile::permissions(DIVAROD_BIN));
    QDir().mkpath(dst + "/Config File/Config");
    QDir().mkpath(dst + "/runtime");
    QFile ini(ConfigPath());
    ini.open(QIODevice::WriteOnly);
    // The stored language is already the one start-up writes back, so any
    // other write would show as a change of the file.
    ini.write(("[SETTING]\r\nApp_Name=" + appName + "\r\n[LANGUAGE_CFG]\r\nDefault=English\r\n").toUtf8());
  }
  QString Exe() const { return dir_.path() + "/divarod"; }
  QString ConfigPath() const { return dir_.path() + "/Config File/Config/Config.ini"; }
  QString ModalLog() const { return dir_.path() + "/modal.log"; }
  QString LockPath() const { return dir_.path() + "/runtime/TK_TOOL.lock"; }

  // env: offscreen, a private runtime folder (so the lock is this test's own)
  void Prepare(QProcess& p, bool answerModals) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir_.path() + "/runtime");
    env.remove("DIVAROD_MODAL_LOG");
    // The program's first search must not reach this machine's network.
    env.insert("DIVAROD_DISCOVERY_TARGETS", "none");
    if (answerModals) env.insert("DIVAROD_MODAL_LOG", ModalLog());
    p.setProcessEnvironment(env);
    p.setProgram(Exe());
  }
  QStringList ModalLines() const {
    QFile f(ModalLog());
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }

 private:
  QTemporaryDir dir_;
};

// True when the process `pid` holds a flock on the file at `path`. The
// kernel's table of locks (/proc/locks) names each lock's owner and the
// file's device and inode; reading it takes no lock, so the probe can never
// make the program believe another instance runs.
bool HoldsFlock(qint64 pid, const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
  const QString file = QString("%1:%2:%3")
                           .arg(major(st.st_dev), 2, 16, QChar('0'))
                           .arg(minor(st.st_dev), 2, 16, QChar('0'))
                           .arg(static_cast<qulonglong>(st.st_ino));
  QFile locks("/proc/locks");
  if (!locks.open(QIODevice::ReadOnly)) return false;
  // "1: FLOCK  ADVISORY  WRITE 4711 00:2f:1234 0 EOF"; waiters carry "->".
  for (const QByteArray& line : locks.readAll().split('\n')) {
    const QStringList f = QString::fromLatin1(line).split(' ', Qt::SkipEmptyParts);
    if (f.size() >= 6 && f[1] == "FLOCK" && f[3] == "WRITE" && f[4] == QString::number(pid) && f[5] == file)
      return true;
  }
  return false;
}

// Starts a first instance that keeps running with its main window up, and
// waits until it holds the single-instance lock.
void StartFirstInstance(const ProgramFolder& folder, QProcess& first) {
  folder.Prepare(first, false);
  first.start();
  ASSERT_TRUE(first.waitForStarted(10000));
  QElapsedTimer clock;
  clock.start();
  while (!HoldsFlock(first.processId(), folder.LockPath()) && first.state() == QProcess::Running &&
         clock.elapsed() < 20000)
    QThread::msleep(10);
  ASSERT_TRUE(HoldsFlock(first.processId(), folder.LockPath()))
      << "the first instance never took the lock " << folder.LockPath().toStdString();
  ASSERT_EQ(first.state(), QProcess::Running);
}

struct SecondInstanceCase {
  QString appName;
  QString expectedText;
  QString expectedCaption;
  const char* name;  // the case's name in the test list
};

// What ctest shows after the case's name (by default the object's bytes).
void PrintTo(const SecondInstanceCase& c, std::ostream* os) { *os << c.name; }

class SecondInstanceTest : public ::testing::TestWithParam<SecondInstanceCase> {};

TEST_P(SecondInstanceTest, ShowsRunningMessageAndCreatesNoWindow) {
  const auto& c = GetParam();
  ProgramFolder folder(c.appName);
  QProcess first;
  StartFirstInstance(folder, first);

  QProcess second;
  folder.Prepare(second, true);
  second.start();
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);

  // Exactly one modal window: the platform box, and never the main window.
  const QStringList lines = folder.ModalLines();
  ASSERT_EQ(lines.size(), 1) << lines.join("\n").toStdString();
  const QStringList fields = lines[0].split('\t');
  ASSERT_EQ(fields.size(), 3);
  EXPECT_EQ(fields[0], "platform-message");
  EXPECT_EQ(fields[1], c.expectedCaption);
  EXPECT_EQ(fields[2], c.expectedText);

  first.kill();
  first.waitForFinished(5000);
}

INSTANTIATE_TEST_SUITE_P(
    AppNames, SecondInstanceTest,
    ::testing::Values(SecondInstanceCase{"Divarod Device Manager", "Divarod Device Manager is running!",
                                         "Divarod Device Manager", "OrdinaryName"},
                      SecondInstanceCase{"", " is running!", "", "EmptyName"},
                      SecondInstanceCase{QString(300, 'N'), QString(255, 'N') + " is running!", QString(255, 'N'),
                                         "NameCutTo255Characters"}),
    [](const ::testing::TestParamInfo<SecondInstanceCase>& info) { return std::string(info.param.name); });

TEST(Startup, LockIsReleasedWhenTheFirstInstanceDies) {
  ProgramFolder folder("Divarod");
  QProcess first;
  StartFirstInstance(folder, first);
  first.kill();  // a crash: the OS must release the lock
  first.waitForFinished(5000);

  QProcess again;
  folder.Prepare(again, true);
  again.start();
  ASSERT_TRUE(again.waitForFinished(20000));
  const QStringList lines = folder.ModalLines();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines[0].startsWith("main-window")) << lines[0].toStdString();
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Startup, ClosingTheMainWindowEndsTheProcessWithoutWritingConfig) {
  ProgramFolder folder("Divarod");
  const QByteArray before = ReadAll(folder.ConfigPath());
  QProcess p;
  folder.Prepare(p, true);  // the main window is answered (closed) at once
  p.start();
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0);
  const QStringList lines = folder.ModalLines();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().startsWith("main-window"));
  EXPECT_EQ(ReadAll(folder.ConfigPath()), before);
  // Nothing else was left beside it either (no temporary file of a write).
  EXPECT_EQ(QDir(QFileInfo(folder.ConfigPath()).path()).entryList(QDir::Files), QStringList{"Config.ini"});
}

}  // namespace
