// The channel editor driven through its widgets: the showing steps of both
// modes, the lists that follow one another, OK, close and Esc.
#include <QTest>

#include "tests/ui/capacity/capacity_page_fixture.h"

namespace capacity_test {
namespace {

const QStringList kPalRates = [] {
  QStringList r;
  for (int i = 1; i <= 25; ++i) r << QString::number(i);
  return r;
}();
const QStringList kNtscRates = [] {
  QStringList r;
  for (int i = 1; i <= 30; ++i) r << QString::number(i);
  return r;
}();

TEST_F(CapacityPageTest, FirstShowingFillsTheListsFromEncodeIni) {
  EXPECT_FALSE(Editor().isVisible());
  Click(page->addButton);
  CDlgCapacityChannelInfo& e = Editor();
  ASSERT_TRUE(e.isVisible());
  EXPECT_FALSE(main->isEnabled());
  EXPECT_TRUE(e.isEnabled());
  EXPECT_EQ(e.titleLabel.text(), "tx.Add_channel");
  EXPECT_EQ(e.okButton.caption, "tx.Add_channel");
  EXPECT_EQ(e.channelsEdit.text(), "1");
  EXPECT_TRUE(e.palRadio.isChecked());
  EXPECT_FALSE(e.ntscRadio.isChecked());
  EXPECT_EQ(Entries(e.resolutionCombo), QStringList({"NameA", "NameB"}));
  EXPECT_EQ(e.resolutionCombo.currentText(), "NameB");
  EXPECT_EQ(Entries(e.frameRateCombo), kPalRates);
  EXPECT_EQ(e.frameRateCombo.currentText(), "25");
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"384", "512", "768", "1024", "1536", "2048"}));
  EXPECT_EQ(e.bitRateCombo.currentIndex(), 5);
  EXPECT_EQ(e.qualityCombo.currentText(), "tx.Image_quality_best");
  EXPECT_FALSE(e.qualityCombo.isEnabled());
}

TEST_F(CapacityPageTest, ListsFollowResolutionStandardAndFrameRate) {
  Click(page->addButton);
  CDlgCapacityChannelInfo& e = Editor();
  Choose(e.resolutionCombo, 0);  // NameA, id 0
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"512", "768", "1024", "1536", "2048", "2560"}));
  Choose(e.frameRateCombo, 12);
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"304", "456", "607", "911", "1215", "1519"}));

  Click(e.ntscRadio);
  EXPECT_EQ(Entries(e.frameRateCombo), kNtscRates);
  EXPECT_EQ(e.frameRateCombo.currentText(), "13") << "a rate both standards have is kept";
  Choose(e.frameRateCombo, 29);
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"512", "768", "1024", "1536", "2048", "2560"}));
  Choose(e.frameRateCombo, 14);
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"289", "434", "579", "868", "1157", "1447"}));

  Choose(e.frameRateCombo, 29);
  Click(e.palRadio);
  EXPECT_EQ(Entries(e.frameRateCombo), kPalRates);
  EXPECT_EQ(e.frameRateCombo.currentText(), "25") << "30 becomes PAL's top rate";
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"512", "768", "1024", "1536", "2048", "2560"}));
}

TEST_F(CapacityPageTest, ImageQualityFollowsTheBitRateChosen) {
  Click(page->addButton);
  CDlgCapacityChannelInfo& e = Editor();
  Choose(e.bitRateCombo, 0);
  EXPECT_EQ(e.qualityCombo.currentText(), "tx.Image_quality_lowest");
  Choose(e.frameRateCombo, 9);
  EXPECT_EQ(e.bitRateCombo.currentIndex(), 0);
  EXPECT_EQ(e.qualityCombo.currentIndex(), 0);
  Choose(e.bitRateCombo, 3);
  EXPECT_EQ(e.qualityCombo.currentText(), "tx.Image_quality_good");
}

TEST_F(CapacityPageTest, ChannelCountIsClampedAsTyped) {
  Click(page->addButton);
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"0", "1"}, {"2000", "1024"}, {"", "1"}, {"64", "64"}, {"08", "18"}};  // the 0 turns into 1 as it is typed
  for (const auto& c : cases) {
    Type(Editor().channelsEdit, QString::fromLatin1(c.typed));
    EXPECT_EQ(Editor().channelsEdit.text(), c.shown) << "typed " << c.typed;
  }
}

TEST_F(CapacityPageTest, OkInAddModeAppendsAndStaysOpen) {
  AddGroup(3);
  AddGroup(5, true);
  EXPECT_TRUE(Editor().isVisible());
  EXPECT_FALSE(main->isEnabled());
  ASSERT_EQ(page->RowCount(), 2);
  EXPECT_EQ(Row(0), QStringList({"3", "PAL", "tx.Image_quality_best", "NameB", "25", "2048"}));
  EXPECT_EQ(Row(1), QStringList({"5", "NTSC", "tx.Image_quality_best", "NameB", "25", "1751"}));
  EXPECT_FALSE(page->RowChecked(0));
  EXPECT_FALSE(page->RowChecked(1));
}

TEST_F(CapacityPageTest, EnterActsAsOkAndEscCloses) {
  Click(page->addButton);
  QTest::keyClick(&Editor().channelsEdit, Qt::Key_Return);
  EXPECT_EQ(page->RowCount(), 1);
  EXPECT_TRUE(Editor().isVisible());
  QTest::keyClick(&Editor().channelsEdit, Qt::Key_Escape);
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_TRUE(main->isEnabled());
  EXPECT_EQ(page->RowCount(), 1) << "nothing is sent on close";
}

TEST_F(CapacityPageTest, CloseButtonGivesTheMainWindowBack) {
  Click(page->addButton);
  Type(Editor().channelsEdit, "7");
  CloseEditor();
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_TRUE(main->isEnabled());
  EXPECT_EQ(page->RowCount(), 0);
}

TEST_F(CapacityPageTest, AddModeShowingResetsChannelsStandardAndQuality) {
  AddGroup(12, true, 10, 1);
  CloseEditor();
  Click(page->addButton);
  CDlgCapacityChannelInfo& e = Editor();
  EXPECT_EQ(e.channelsEdit.text(), "1");
  EXPECT_TRUE(e.palRadio.isChecked());
  EXPECT_EQ(Entries(e.frameRateCombo), kPalRates);
  EXPECT_EQ(e.frameRateCombo.currentText(), "10") << "the frame rate persists";
  EXPECT_EQ(e.bitRateCombo.currentIndex(), 5);
  EXPECT_EQ(e.qualityCombo.currentText(), "tx.Image_quality_best");
}

// Modify shows the record of the last OK: count and standard come back, the
// quality is reset to best; resolution and frame rate keep the lists' choice.
TEST_F(CapacityPageTest, ModifyModeShowsTheLastRecord) {
  AddGroup(8, true, 12, 2);
  CloseEditor();
  ClickCheckBox(0);
  Click(page->modifyButton);
  CDlgCapacityChannelInfo& e = Editor();
  ASSERT_TRUE(e.isVisible());
  EXPECT_EQ(e.titleLabel.text(), "tx.Modify_channel");
  EXPECT_EQ(e.okButton.caption, "tx.Modify_channel");
  EXPECT_EQ(e.channelsEdit.text(), "8");
  EXPECT_TRUE(e.ntscRadio.isChecked());
  EXPECT_FALSE(e.palRadio.isChecked());
  EXPECT_EQ(Entries(e.frameRateCombo), kNtscRates);
  EXPECT_EQ(e.frameRateCombo.currentText(), "12");
  EXPECT_EQ(e.qualityCombo.currentText(), "tx.Image_quality_best");
  EXPECT_EQ(e.bitRateCombo.currentIndex(), 5);
}

// The rows change only after the editor has closed and given the main
// window back; in add mode they change while it stays open.
TEST_F(CapacityPageTest, RowsChangeAfterModifyClosesTheEditor) {
  std::vector<std::pair<bool, bool>> seen;  // main window enabled, editor shown
  QObject::connect(page->channelList.model(), &QAbstractItemModel::dataChanged, page.get(),
                   [&] { seen.emplace_back(main->isEnabled(), Editor().isVisible()); });
  AddGroup(1);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), std::make_pair(false, true));
  CloseEditor();
  ClickCheckBox(0);
  Click(page->modifyButton);
  seen.clear();
  AddGroup(2);
  ASSERT_FALSE(seen.empty());
  for (const auto& s : seen) EXPECT_EQ(s, std::make_pair(true, false));
  EXPECT_EQ(page->CellText(0, kCapColChannels), "2");
}

TEST_F(CapacityPageTest, EmptyResolutionListOffersNoBitRateAndRefusesOk) {
  for (const char* value : {static_cast<const char*>(nullptr), "", "99,Far|"}) {
    Build(value);
    Click(page->addButton);
    CDlgCapacityChannelInfo& e = Editor();
    ASSERT_TRUE(e.isVisible());
    EXPECT_EQ(e.resolutionCombo.count(), 0);
    EXPECT_EQ(e.bitRateCombo.count(), 0);
    EXPECT_FALSE(e.okButton.isEnabled());
    QTest::keyClick(&e.channelsEdit, Qt::Key_Return);
    EXPECT_EQ(page->RowCount(), 0);
    CloseEditor();
    EXPECT_TRUE(main->isEnabled());
  }
}

TEST_F(CapacityPageTest, ReservedResolutionsOfferSixZeroRates) {
  Build("30,Reserved|31,Spare|");
  Click(page->addButton);
  CDlgCapacityChannelInfo& e = Editor();
  EXPECT_EQ(Entries(e.bitRateCombo), QStringList({"0", "0", "0", "0", "0", "0"}));
  Click(e.okButton);
  ASSERT_EQ(page->RowCount(), 1);
  EXPECT_EQ(page->CellText(0, kCapColBitRate), "0");
  EXPECT_EQ(page->CellText(0, kCapColResolution), "Spare");
}

TEST_F(CapacityPageTest, ResolutionListIsReadOnceAtTheFirstShowing) {
  Click(page->addButton);
  CloseEditor();
  QFile file(encodeIni);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("[ENCODE]\nResolution=5,Other|\n");
  file.close();
  Click(page->addButton);
  EXPECT_EQ(Entries(Editor().resolutionCombo), QStringList({"NameA", "NameB"}));
}

}  // namespace
}  // namespace capacity_test
