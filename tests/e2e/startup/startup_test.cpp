// The real program, started as separate processes from a folder of its own.
#include <gtest/gtest.h>

#include <QDir>
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

// Starts a first instance that keeps running with its main window up.
void StartFirstInstance(const ProgramFolder& folder, QProcess& first) {
  folder.Prepare(first, false);
  first.start();
  ASSERT_TRUE(first.waitForStarted(10000));
  QThread::msleep(1500);  // let it take the lock
  ASSERT_EQ(first.state(), QProcess::Running);
}

struct SecondInstanceCase {
  QString appName;
  QString expectedText;
  QString expectedCaption;
};

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
                                         "Divarod Device Manager"},
                      SecondInstanceCase{"", " is running!", ""},
                      SecondInstanceCase{QString(300, 'N'), QString(255, 'N') + " is running!", QString(255, 'N')}));

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
