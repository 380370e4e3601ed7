// The calculator page driven through its widgets: edits typed into, rows
// added through the channel editor, check boxes and the header clicked.
#include <QFontInfo>
#include <QImage>
#include <QTest>

#include "tests/ui/capacity/capacity_page_fixture.h"

namespace capacity_test {
namespace {


TEST_F(CapacityPageTest, StartsEmptyWithBothResultsAtZero) {
  EXPECT_EQ(page->RowCount(), 0);
  EXPECT_EQ(page->recordDaysResult.text(), "0 tx.Days");
  EXPECT_EQ(page->diskSpaceResult.text(), "0 GB");
  EXPECT_FALSE(page->allChecked);
  EXPECT_EQ(CapacityCalculatorInstance, page.get());
  EXPECT_EQ(page->geometry(), QRect(60, 60, 1030, 640));
}

TEST_F(CapacityPageTest, PaintsPanelsAndBoxesAndShowsResultsInTheAccent) {
  const QImage image = page->grab().toImage();
  const QColor panel(0xF3, 0xF5, 0xF7);  // 0xF7F5F3 as a colour reference
  const int r = page->width();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(15, 30), panel) << "left panel";
  EXPECT_EQ(image.pixelColor(r - 325, 30), panel) << "right panel";
  EXPECT_EQ(image.pixelColor(r - 315, 300), panel) << "between the boxes";
  EXPECT_EQ(image.pixelColor(r - 315, 63), QColor(Qt::white)) << "days box";
  EXPECT_EQ(image.pixelColor(r - 315, 318), QColor(Qt::white)) << "disk box";
  for (QLabel* result : {&page->recordDaysResult, &page->diskSpaceResult}) {
    EXPECT_EQ(result->palette().color(QPalette::WindowText), QColor(0x58, 0x6D, 0xAF));
    EXPECT_EQ(QFontInfo(result->font()).pixelSize(), 22);
    EXPECT_EQ(result->font().weight(), QFont::DemiBold);
    EXPECT_EQ(result->alignment(), Qt::AlignCenter);
  }
}

TEST_F(CapacityPageTest, DaysResultFollowsTheDiskSizeAndTheCheckedGroups) {
  AddGroup(1);  // NameB at 25 frames per second, best: 2048 Kb/s
  CloseEditor();
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(Row(0), QStringList({"1", "PAL", "tx.Image_quality_best", "NameB", "25", "2048"}));
  ClickCheckBox(0);
  ASSERT_TRUE(page->RowChecked(0));
  Type(page->diskSizeEdit, "1000");
  Type(page->daysHoursEdit, "24");
  EXPECT_EQ(page->recordDaysResult.text(), "44 tx.Days");
  EXPECT_EQ(page->recordDays, 44);
  Type(page->diskSizeEdit, "1");
  EXPECT_EQ(page->recordDaysResult.text(), "0 tx.Days");
  EXPECT_EQ(page->diskSpaceResult.text(), "0 GB") << "the other result is not touched";
}

TEST_F(CapacityPageTest, DiskSpaceResultFollowsTheDaysAndTheCheckedGroups) {
  AddGroup(4, false, 25, 3);  // 1024 Kb/s
  AddGroup(1, false, 1, 0);   // 71 Kb/s, left unchecked
  CloseEditor();
  ASSERT_EQ(page->RowCount(), 2);
  EXPECT_EQ(page->CellText(0, kCapColBitRate), "1024");
  EXPECT_EQ(page->CellText(0, kCapColQuality), "tx.Image_quality_good");
  EXPECT_EQ(page->CellText(1, kCapColBitRate), "71");
  EXPECT_EQ(page->CellText(1, kCapColQuality), "tx.Image_quality_lowest");
  ClickCheckBox(0);
  Type(page->daysEdit, "30");
  Type(page->diskHoursEdit, "24");
  EXPECT_EQ(page->diskSpaceResult.text(), "1359 GB");
  EXPECT_EQ(page->diskSpaceGb, 1359);

  // Checking the second group recomputes both results at once.
  Type(page->diskSizeEdit, "100");
  Type(page->daysHoursEdit, "24");
  EXPECT_EQ(page->recordDaysResult.text(), "2 tx.Days");
  ClickCheckBox(1);
  EXPECT_EQ(page->diskSpaceResult.text(), "1383 GB");
  EXPECT_EQ(page->recordDaysResult.text(), "2 tx.Days");
  ClickCheckBox(0);
  EXPECT_EQ(page->diskSpaceResult.text(), "24 GB");
  EXPECT_EQ(page->recordDaysResult.text(), "127 tx.Days");
}

TEST_F(CapacityPageTest, EditsAreClampedAsTheyAreTyped) {
  const struct {
    QLineEdit* edit;
    const char* typed;
    const char* shown;
  } cases[] = {
      {&page->daysHoursEdit, "25", "24"},       {&page->diskHoursEdit, "25", "24"},
      {&page->daysEdit, "400", "366"},          {&page->diskSizeEdit, "1000000000", "999999999"},
      {&page->daysEdit, "007", "7"},            {&page->daysEdit, "12x", "12"},
      {&page->diskSizeEdit, "", "0"},           {&page->daysHoursEdit, "-3", "3"},  // a sign never stays
  };
  for (const auto& c : cases) {
    Type(*c.edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(c.edit->text(), c.shown) << c.edit->objectName().toStdString() << " typed " << c.typed;
  }
}

TEST_F(CapacityPageTest, ClearingAnEditZeroesItsResult) {
  AddGroup(1);
  CloseEditor();
  ClickCheckBox(0);
  Type(page->diskSizeEdit, "1000");
  Type(page->daysHoursEdit, "24");
  Type(page->daysEdit, "30");
  Type(page->diskHoursEdit, "24");
  ASSERT_EQ(page->recordDays, 44);
  ASSERT_EQ(page->diskSpaceGb, 680);
  Type(page->daysHoursEdit, "");
  EXPECT_EQ(page->daysHoursEdit.text(), "0");
  EXPECT_EQ(page->recordDaysResult.text(), "0 tx.Days");
  Type(page->daysEdit, "");
  EXPECT_EQ(page->diskSpaceResult.text(), "0 GB");
}

TEST_F(CapacityPageTest, HeaderCheckBoxColumnChecksAndUnchecksEveryRow) {
  ClickHeader(kCapColCheck);
  EXPECT_FALSE(page->allChecked) << "an empty list ignores the click";

  AddGroup(1);
  AddGroup(2);
  AddGroup(3);
  CloseEditor();
  ClickCheckBox(1);
  ClickHeader(kCapColBitRate);
  EXPECT_EQ(page->CountCheckedRows(), 1) << "other columns do nothing";
  EXPECT_EQ(page->CellText(0, kCapColChannels), "1") << "and never sort";

  ClickHeader(kCapColCheck);
  EXPECT_TRUE(page->allChecked);
  EXPECT_EQ(page->CountCheckedRows(), 3);
  ClickHeader(kCapColCheck);
  EXPECT_FALSE(page->allChecked);
  EXPECT_EQ(page->CountCheckedRows(), 0);
}

TEST_F(CapacityPageTest, AllCheckedFollowsSingleCheckBoxes) {
  AddGroup(1);
  AddGroup(2);
  CloseEditor();
  ClickCheckBox(0);
  EXPECT_FALSE(page->allChecked);
  ClickCheckBox(1);
  EXPECT_TRUE(page->allChecked) << "every row checked by hand";
  ClickCheckBox(0);
  EXPECT_FALSE(page->allChecked);
}

TEST_F(CapacityPageTest, DeleteRemovesExactlyTheCheckedRowsAndZeroesTheResults) {
  for (int channels : {1, 2, 3, 4}) AddGroup(channels);
  CloseEditor();
  ClickCheckBox(1);
  ClickCheckBox(2);
  Type(page->diskSizeEdit, "1000");
  Type(page->daysHoursEdit, "24");
  Type(page->daysEdit, "1");
  Type(page->diskHoursEdit, "1");
  ASSERT_NE(page->recordDays, 0);
  ASSERT_NE(page->diskSpaceGb, 0);
  Click(page->deleteButton);
  ASSERT_EQ(page->RowCount(), 2);
  EXPECT_EQ(page->CellText(0, kCapColChannels), "1");
  EXPECT_EQ(page->CellText(1, kCapColChannels), "4");
  EXPECT_EQ(page->recordDaysResult.text(), "0 tx.Days");
  EXPECT_EQ(page->diskSpaceResult.text(), "0 GB");
  EXPECT_TRUE(shown.empty());
}

TEST_F(CapacityPageTest, DeleteWithEveryRowCheckedEmptiesTheList) {
  for (int channels : {1, 2, 3}) AddGroup(channels);
  CloseEditor();
  ClickHeader(kCapColCheck);
  Type(page->diskSizeEdit, "1000");
  Type(page->daysHoursEdit, "24");
  ASSERT_NE(page->recordDays, 0);
  Click(page->deleteButton);
  EXPECT_EQ(page->RowCount(), 0);
  EXPECT_EQ(page->recordDaysResult.text(), "0 tx.Days");
  EXPECT_EQ(page->diskSpaceResult.text(), "0 GB");
}

// A row added after the header checked everything is unchecked: it must not
// go with the next Delete.
TEST_F(CapacityPageTest, RowAddedAfterCheckAllSurvivesDelete) {
  AddGroup(1);
  AddGroup(2);
  CloseEditor();
  ClickHeader(kCapColCheck);
  ASSERT_TRUE(page->allChecked);
  AddGroup(9);
  CloseEditor();
  EXPECT_FALSE(page->allChecked);
  EXPECT_FALSE(page->RowChecked(2));
  Click(page->deleteButton);
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(page->CellText(0, kCapColChannels), "9");
}

TEST_F(CapacityPageTest, ModifyAndDeleteWithoutCheckedRowAsk) {
  AddGroup(1);
  CloseEditor();
  for (CxSkinButton* button : {&page->modifyButton, &page->deleteButton}) {
    shown.clear();
    Click(*button);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "tip");
    EXPECT_EQ(shown[0].text, "msg.sel_channel_first");
    EXPECT_EQ(shown[0].title, "msg.Msg");
    EXPECT_FALSE(Editor().isVisible());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(page->RowCount(), 1);
  }
}

TEST_F(CapacityPageTest, ModifyWritesTheGroupIntoEveryCheckedRowKeepingItsCheck) {
  AddGroup(1);
  AddGroup(2);
  AddGroup(3);
  CloseEditor();
  ClickCheckBox(0);
  ClickCheckBox(2);
  Type(page->daysEdit, "1");
  Type(page->diskHoursEdit, "1");
  const int before = page->diskSpaceGb;

  Click(page->modifyButton);
  ASSERT_TRUE(Editor().isVisible());
  EXPECT_FALSE(main->isEnabled());
  EXPECT_EQ(Editor().titleLabel.text(), "tx.Modify_channel");
  AddGroup(16, true, 30, 0);  // NTSC, 30 frames per second, lowest: 384 Kb/s
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_TRUE(main->isEnabled());

  const QStringList modified({"16", "NTSC", "tx.Image_quality_lowest", "NameB", "30", "384"});
  EXPECT_EQ(Row(0), modified);
  EXPECT_EQ(Row(1), QStringList({"2", "PAL", "tx.Image_quality_best", "NameB", "25", "2048"}));
  EXPECT_EQ(Row(2), modified);
  EXPECT_TRUE(page->RowChecked(0));
  EXPECT_FALSE(page->RowChecked(1));
  EXPECT_TRUE(page->RowChecked(2));
  EXPECT_EQ(before, 4);
  EXPECT_EQ(page->diskSpaceGb, 6) << "recomputed from the new rows";
}

TEST_F(CapacityPageTest, LanguageChangeRewritesEveryWord) {
  AddGroup(1);
  CloseEditor();
  ClickCheckBox(0);
  Type(page->diskSizeEdit, "1000");
  Type(page->daysHoursEdit, "24");
  Type(page->daysEdit, "1");
  Type(page->diskHoursEdit, "1");
  const QString diskSpace = page->diskSpaceResult.text();

  const QString path = dir.filePath("t.lang");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "[String]\ntx.Days=Tage\ntx.Add_channel=Hinzu\ntx.Del_channel=Weg\ntx.Modify_channel=Aendern\n"
      "ck.All=Alle\nck.Bit_Rate=Bitrate\ntx.Image_quality_best=Beste\ntx.Hours=Std\n"
      "tx.Disk_space_given=Platte bekannt\nck.Channels=Kanaele\nGB=Go\n");
  file.close();
  ASSERT_TRUE(GetThreadLanguage()->LoadFile(path, 1));
  pm::SendPrivateMessage(page.get(), pm::WM_LANGUAGE_CHANGED, 1, 0);

  EXPECT_EQ(page->addButton.caption, "Hinzu");
  EXPECT_EQ(page->addButton.ToolTipText(), "Hinzu");
  EXPECT_EQ(page->deleteButton.caption, "Weg");
  EXPECT_EQ(page->modifyButton.ToolTipText(), "Aendern");
  EXPECT_EQ(page->daysBoxTitle.text(), "Platte bekannt");
  EXPECT_EQ(page->daysHoursUnit.text(), "Std");
  EXPECT_EQ(page->diskHoursUnit.text(), "Std");
  EXPECT_EQ(page->diskSizeUnit.text(), "Go");
  EXPECT_EQ(page->channelList.headerItem()->text(0), "Alle");
  EXPECT_EQ(page->channelList.headerItem()->text(6), "Bitrate");
  EXPECT_EQ(page->CellText(0, kCapColQuality), "Beste");
  EXPECT_EQ(page->recordDaysResult.text(), "44 Tage");
  EXPECT_EQ(page->diskSpaceResult.text(), diskSpace);

  // The editor hears of it after the page, by a posted message.
  EXPECT_EQ(Editor().channelsLabel.text(), "ck.Channels");
  QTest::qWait(0);
  QApplication::processEvents();
  EXPECT_EQ(Editor().channelsLabel.text(), "Kanaele");
  EXPECT_EQ(Editor().okButton.caption, "Hinzu");
  EXPECT_EQ(Editor().qualityCombo.currentText(), "Beste");
}

TEST_F(CapacityPageTest, ParentResizeReplacesAndLaysOutThePage) {
  main->resize(1400, 900);
  pm::SendPrivateMessage(page.get(), pm::WM_PARENT_RESIZED);
  EXPECT_EQ(page->geometry(), QRect(60, 60, 1340, 840));
  EXPECT_EQ(page->rightPanel.geometry(), QRect(1340 - 330, 10, 320, 820));
  EXPECT_EQ(page->leftPanel.geometry(), QRect(10, 10, 1340 - 370, 820));
  EXPECT_EQ(page->channelList.geometry(), QRect(20, 58, 1340 - 390, 830 - 68));
  EXPECT_EQ(page->recordDaysResult.geometry(), QRect(1340 - 315, 58 + 193, 290, 28));
  EXPECT_EQ(page->diskSpaceResult.geometry(), QRect(1340 - 315, 313 + 193, 290, 28));
}

}  // namespace
}  // namespace capacity_test
