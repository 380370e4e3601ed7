// Renders the capacity calculator in its main window with a few rows, and the
// channel editor in add and in modify mode, to PNG files for a person to look
// at: render_capacity <folder> [language index].
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "tests/support/fake_device_library.h"
#include "tests/ui/controls/render_program.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

namespace {

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
  RenderProgram run(argc, argv);

  ScopedFakeDeviceLibrary library;
  modal::SetAnswerer([](const modal::ModalRequest& r) { return r.kind == "tip" ? 1 : 2; });

  CDivarodDlg main;
  main.config.programFolder = run.OwnProgramFolder();
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
  run.Save(editor, "channel_editor_add.png");
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
  run.Save(main, "capacity_page.png");
  ReportCutTexts(page);

  QTest::mouseClick(&page.modifyButton, Qt::LeftButton);
  QApplication::processEvents();
  run.Save(editor, "channel_editor_modify.png");
  ReportCutTexts(editor);
  QTest::mouseClick(&editor.closeButton, Qt::LeftButton);
  return 0;
}
