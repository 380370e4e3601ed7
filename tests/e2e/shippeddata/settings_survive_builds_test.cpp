// What the program writes beside itself (Config.ini, the user's settings)
// survives the next build, and a shipped file changed in the source tree
// still reaches the build. A project of its own uses the build's helper to
// copy a copy of the shipped data beside a program folder; the main window
// runs on that folder and its settings dialog changes the language, the
// columns and the search period, as a user would.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

#include "core/ini/private_profile.h"
#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& text) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

class SettingsSurviveBuilds : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    QDir().mkpath(root_.filePath("shipped"));
    std::error_code error;
    std::filesystem::copy(DIVAROD_SHIPPED, Shipped("").toStdString(), std::filesystem::copy_options::recursive,
                          error);
    ASSERT_FALSE(error) << error.message();
    QDir().mkpath(root_.filePath("project"));
    ASSERT_TRUE(WriteFile(root_.filePath("project/CMakeLists.txt"),
                          "cmake_minimum_required(VERSION 3.25)\nproject(shipped_data NONE)\n"
                          "include(\"" DIVAROD_HELPERS "\")\n"
                          "divarod_copy_data(\"" + Shipped("").toUtf8() + "\" \"" +
                              root_.filePath("bin").toUtf8() + "\")\n"));
    ASSERT_EQ(Cmake({"-S", root_.filePath("project"), "-B", root_.filePath("build"), "-G", DIVAROD_CMAKE_GENERATOR}),
              0);
    modal::SetAnswerer([](const modal::ModalRequest&) { return 1; });
  }
  void TearDown() override { modal::SetAnswerer({}); }

  // The build of the small project: its data step, as every build runs it.
  void Build() { ASSERT_EQ(Cmake({"--build", root_.filePath("build")}), 0); }

  int Cmake(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(DIVAROD_CMAKE, args);
    if (!p.waitForFinished(60000)) {
      p.kill();
      p.waitForFinished();
      return -1;
    }
    output_ = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  QString Shipped(const QString& file) const { return root_.filePath("shipped/Config File/" + file); }
  QString Built(const QString& file) const { return root_.filePath("bin/Config File/" + file); }
  std::string Setting(const QString& section, const QString& key) const {
    QString value;
    ini::GetPrivateProfileString(section, key, "<missing>", value, 1500, Built("Config/Config.ini"));
    return value.toStdString();
  }
  // Whether the file beside the program holds exactly `text`.
  ::testing::AssertionResult BuiltHolds(const QString& file, const QByteArray& text) const {
    const QList<QByteArray> built = ReadFile(Built(file)).split('\n');
    const QList<QByteArray> wanted = text.split('\n');
    for (qsizetype line = 0; line < std::max(built.size(), wanted.size()); ++line) {
      const QByteArray has = built.value(line, "<end>"), want = wanted.value(line, "<end>");
      if (has != want)
        return ::testing::AssertionFailure() << file.toStdString() << " line " << line + 1 << " holds \""
                                             << has.trimmed().toStdString() << "\", not \""
                                             << want.trimmed().toStdString() << "\"";
    }
    return ::testing::AssertionSuccess();
  }

  // The main window on the built folder; the settings dialog changes the
  // language, a column and the search period, each with its own OK.
  void ChangeSettingsThroughTheProgram() {
    ScopedFakeDeviceLibrary library;
    auto dlg = std::make_unique<CDivarodDlg>();
    MainDialogInstance = dlg.get();
    dlg->config.programFolder = root_.filePath("bin") + "/";
    dlg->show();
    ASSERT_TRUE(Serve([&] { return !dlg->searching.load(); }));
    CDlgSetting& d = dlg->settingDialog;
    const std::function<void()> changes[] = {
        [&] {
          QComboBox& list = d.languagePage.languageList;
          list.setCurrentIndex(list.findText("Deutsch"));
        },
        [&] {
          d.tree.setCurrentItem(d.devInfoItem);
          d.devInfoPage.Box(3).setChecked(false);
        },
        [&] {
          d.tree.setCurrentItem(d.searchItem);
          d.searchPage.periodicBox.click();
          d.searchPage.periodList.setCurrentIndex(1);
        }};
    for (const auto& change : changes) {
      dlg->menuPage.settingButton.click();
      change();
      d.okButton.click();
      QCoreApplication::processEvents();
    }
    ASSERT_TRUE(Serve([&] { return !dlg->searching.load(); }));
    dlg.reset();
    MainDialogInstance = nullptr;
  }

  static bool Serve(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > 10000) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    return true;
  }

  QTemporaryDir root_;
  QByteArray output_;
};

TEST_F(SettingsSurviveBuilds, WhatTheProgramWroteHoldsAfterTheNextBuild) {
  Build();
  ASSERT_TRUE(BuiltHolds("Config/Config.ini", ReadFile(Shipped("Config/Config.ini"))));
  ChangeSettingsThroughTheProgram();
  const QByteArray written = ReadFile(Built("Config/Config.ini"));
  ASSERT_EQ(Setting("LANGUAGE_CFG", "Default"), "Deutsch");
  Build();
  Build();
  EXPECT_TRUE(BuiltHolds("Config/Config.ini", written)) << output_.toStdString();
  EXPECT_EQ(Setting("LANGUAGE_CFG", "Default"), "Deutsch");
  EXPECT_EQ(Setting("DEVINFO_CFG", "Dev_Info"), "9206");
  EXPECT_EQ(Setting("SEARCH_CFG", "Periodic_Search"), "1");
  EXPECT_EQ(Setting("SEARCH_CFG", "Sel_Time"), "60");
}

TEST_F(SettingsSurviveBuilds, AShippedFileChangedInTheSourceTreeReachesTheBuild) {
  Build();
  ChangeSettingsThroughTheProgram();
  const QByteArray written = ReadFile(Built("Config/Config.ini"));

  // Another shipped file changes: it reaches the build, the settings stay.
  QByteArray german = ReadFile(Shipped("Lang/Ge.lang"));
  german.append("\n; changed in the source tree\n");
  ASSERT_TRUE(WriteFile(Shipped("Lang/Ge.lang"), german));
  Build();
  EXPECT_TRUE(BuiltHolds("Lang/Ge.lang", german));
  EXPECT_TRUE(BuiltHolds("Config/Config.ini", written));

  // The shipped settings change: they replace what the program wrote.
  QByteArray settings = ReadFile(Shipped("Config/Config.ini"));
  settings.replace("Period_Time=45|60|75|90|105|120", "Period_Time=30|45|60");
  ASSERT_TRUE(WriteFile(Shipped("Config/Config.ini"), settings));
  Build();
  EXPECT_TRUE(BuiltHolds("Config/Config.ini", settings));

  // A file gone from beside the program comes back at the next build.
  ASSERT_TRUE(QFile::remove(Built("Config/Config.ini")));
  Build();
  EXPECT_TRUE(BuiltHolds("Config/Config.ini", settings));
}

}  // namespace
