// Renders the capacity calculator in its main window with a few rows, and the
// channel editor in add and in modify mode, to PNG files for a person to look
// at: render_capacity <folder> [language index].
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

void Save(QWidget& w, const QString& path) {
  w.grab().save(path);
  std::printf("%s\n", qPrintable(path));
}

// Names the labels whose text is wider than the label, for the person looking.
void ReportCutTexts(QWidget& window) {
  for (QLabel* label : window.findChildren<QLabel*>())
    if (label->isVisible() && label->fontMetrics().horizontalAdvance(label->text()) > label->width())
      std::printf("cut: %s \"%s\"\n", qPrintable(label->objectName()), qPrintable(label->text()));
}

void AddGroup(CDlgCapacityChannelInfo& editor, int channels, bool ntsc, int resolutionIndex, int frameRate,
              int bitRateEntry) {
  editor.channelsEdit.setText(QString::number(channels));
  QTest::mouseClick(ntsc ? &editor.ntscRadio : &editor.palRadio, Qt::LeftButton);
  editor.resolutionCombo.setCurrentIndex(resolutionIndex);
  emit editor.resolutionCombo.activated(resolutionIndex);
  editor.frameRateCombo.setCurrentIndex(frameRate - 1);
  emit editor.frameRateCombo.activated(frameRate - 1);
  editor.bitRateCombo.setCurrentIndex(bitRateEntry);
  emit editor.bitRateCombo.activated(bitRateEntry);
  QTest::mouseClick(&editor.okButton, Qt::LeftButton);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QDir().mkpath(folder);

  ScopedFakeDeviceLibrary library;
  modal::SetAnswerer([](const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; });

  // A program folder of its own: a language change writes Config.ini.
  QTemporaryDir programFolder;
  std::filesystem::copy((QCoreApplication::applicationDirPath() + "/Config File").toStdString(),
                        (programFolder.path() + "/Config File").toStdString(),
                        std::filesystem::copy_options::recursive);
  CDivarodDlg main;
  main.config.programFolder = programFolder.path() + "/";
  MainDialogInstance = &main;
  main.show();
  QApplication::processEvents();
  if (argc > 2) {
    main.OnLanguageChanged(static_cast<pm::WPARAM>(QString::fromLocal8Bit(argv[2]).toInt()), 0);
    QApplication::processEvents();
  }
  QTest::mouseClick(&main.menuPage.capacityButton, Qt::LeftButton);
  CDlgCapacityCalculator& page = main.capacityPage;
  CDlgCapacityChannelInfo& editor = page.channelEditor;

  QTest::mouseClick(&page.addButton, Qt::LeftButton);
  QApplication::processEvents();
  Save(editor, folder + "/channel_editor_add.png");
  AddGroup(editor, 16, false, 0, 25, 5);
  AddGroup(editor, 8, false, 9, 25, 4);
  AddGroup(editor, 4, true, 10, 30, 3);
  AddGroup(editor, 32, false, 3, 12, 1);
  QTest::mouseClick(&editor.closeButton, Qt::LeftButton);
  for (int row : {0, 1, 2}) page.SetRowChecked(row, true);
  page.diskSizeEdit.setText("4000");
  page.daysHoursEdit.setText("24");
  page.daysEdit.setText("30");
  page.diskHoursEdit.setText("12");
  QApplication::processEvents();
  Save(main, folder + "/capacity_page.png");
  ReportCutTexts(page);

  QTest::mouseClick(&page.modifyButton, Qt::LeftButton);
  QApplication::processEvents();
  Save(editor, folder + "/channel_editor_modify.png");
  ReportCutTexts(editor);
  QTest::mouseClick(&editor.closeButton, Qt::LeftButton);
  return 0;
}
