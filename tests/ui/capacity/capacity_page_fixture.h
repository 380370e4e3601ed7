#pragma once
// The calculator page in a stand-in main window, shown offscreen, with its
// channel editor reading a small Encode.ini of the test's own. Every modal
// window is answered in the user's place and remembered. Helpers drive the
// real widgets: typing into edits, clicking buttons, check boxes and the
// header, choosing list entries.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "core/language/language.h"
#include "ui/framework/modal_seam.h"
#include "ui/tools/dlg_capacity_calculator.h"

namespace capacity_test {

class CapacityPageTest : public ::testing::Test {
 protected:
  // Template 226's page inside a 1090 x 700 main window less its menu strip and band.
  void SetUp() override { Build("0,NameA|1,NameB|"); }

  void Build(const char* resolutionValue) {
    GetThreadLanguage()->LoadFile(QString(), 1);  // keys stand for their texts
    ASSERT_TRUE(dir.isValid());
    encodeIni = dir.filePath("Encode.ini");
    QFile::remove(encodeIni);
    if (resolutionValue) {
      QFile file(encodeIni);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(QByteArray("[ENCODE]\nResolution=") + resolutionValue + "\n");
    }
    page.reset();
    main = std::make_unique<QWidget>();
    main->resize(1090, 700);
    page = std::make_unique<CDlgCapacityCalculator>();
    page->SetEncodeIniPath(encodeIni);
    page->Create(main.get());
    main->show();
    page->show();
    QApplication::processEvents();
    modal::SetAnswerer([this](const modal::ModalRequest& request) {
      shown.push_back(request);
      return 1;
    });
  }

  void TearDown() override {
    modal::SetAnswerer({});
    page.reset();
    main.reset();
    GetThreadLanguage()->LoadFile(QString(), 1);
  }

  CDlgCapacityChannelInfo& Editor() { return page->channelEditor; }

  // Replaces the edit's text by typing, as a user who selects all first.
  static void Type(QLineEdit& edit, const QString& text) {
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
      QTest::keyClick(&edit, Qt::Key_Backspace);
    else
      QTest::keyClicks(&edit, text);
  }

  static void Click(QAbstractButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }

  // Chooses entry index of a drop-down list as the keyboard does (the list
  // reports the choice as a user's).
  static void Choose(QComboBox& list, int index) {
    ASSERT_GE(index, 0);
    ASSERT_LT(index, list.count());
    QTest::keyClick(&list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(list.currentIndex(), index);
  }

  static QStringList Entries(const QComboBox& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.itemText(i);
    return texts;
  }

  // Clicks the check box of a row.
  void ClickCheckBox(int row) {
    CMyColorListCtrlEx& list = page->channelList;
    QTreeWidgetItem* item = list.topLevelItem(row);
    ASSERT_NE(item, nullptr);
    list.scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.rect = list.visualItemRect(item);
    option.rect.setWidth(list.columnWidth(kCapColCheck));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = item->checkState(kCapColCheck);
    const QRect box = list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box.center());
  }

  void ClickHeader(int column) {
    QHeaderView* header = page->channelList.header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }

  // Opens the editor with Add, describes one group and presses OK; the
  // editor stays open. frameRate 0 keeps the list's choice, bitRateEntry -1
  // the best quality's rate.
  void AddGroup(int channels, bool ntsc = false, int frameRate = 0, int bitRateEntry = -1) {
    if (!Editor().isVisible()) Click(page->addButton);
    ASSERT_TRUE(Editor().isVisible());
    Type(Editor().channelsEdit, QString::number(channels));
    Click(ntsc ? Editor().ntscRadio : Editor().palRadio);
    if (frameRate > 0) Choose(Editor().frameRateCombo, frameRate - 1);
    if (bitRateEntry >= 0) Choose(Editor().bitRateCombo, bitRateEntry);
    Click(Editor().okButton);
  }

  void CloseEditor() { Click(Editor().closeButton); }

  QStringList Row(int row) const {
    QStringList cells;
    for (int column = 1; column < kCapacityColumnCount; ++column) cells << page->CellText(row, column);
    return cells;
  }

  QTemporaryDir dir;
  QString encodeIni;
  std::unique_ptr<QWidget> main;
  std::unique_ptr<CDlgCapacityCalculator> page;
  std::vector<modal::ModalRequest> shown;
};

}  // namespace capacity_test
