#pragma once
// The recording-capacity calculator page. The user builds a list of channel
// groups through the channel editor, checks the groups that count, and reads
// two results side by side: how many days fit on a disk of a given size, and
// how many GB a number of days needs, both at a given number of recording
// hours a day. Both are recomputed as soon as an input or the set of checked
// rows changes. Nothing is stored: rows and inputs live while the program runs.
//
//   dlg_capacity_calculator.cpp   controls, layout, texts, rows, commands, painting
//   capacity_formulas.cpp         the two results' arithmetic
//   dlg_capacity_channel_info.cpp the channel editor

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "ui/controls/color_list.h"
#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"
#include "ui/tools/capacity_tables.h"
#include "ui/tools/dlg_capacity_channel_info.h"

class CDlgCapacityCalculator : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Control ids of the page's template, kept as object names.
  enum ControlId {
    kIdDelete = 1007,
    kIdDays = 1019,
    kIdDaysHours = 1020,
    kIdDiskHours = 1021,
    kIdModify = 1103,
    kIdDiskSize = 1164,
    kIdDiskSizeUnit = 1177,
    kIdAdd = 1184,
    kIdList = 1195,
    kIdDaysBox = 1196,
    kIdDiskBox = 1197,
    kIdDaysHoursUnit = 1224,
    kIdDiskHoursUnit = 1225,
    kIdDiskSizeLabel = 1226,
    kIdDiskSpaceCaption = 1227,
    kIdDaysHoursLabel = 1228,
    kIdDiskHoursLabel = 1229,
    kIdRecordDaysCaption = 1230,
    kIdDaysLabel = 1231,
    kIdDiskSpaceResult = 1232,
    kIdRecordDaysResult = 1233,
    kIdDaysBoxLine = 1234,
    kIdDiskBoxLine = 1235,
    kIdDaysBoxTitle = 1236,
    kIdDiskBoxTitle = 1237,
    kIdRightPanel = 1238,
    kIdLeftPanel = 1239,
    kIdDaysUnit = 1243,
  };

  // Colours (0x00BBGGRR).
  static constexpr unsigned kBackgroundColour = 0xFFFFFF;
  static constexpr unsigned kPanelColour = 0xF7F5F3;
  static constexpr unsigned kResultColour = 0xAF6D58;

  // Bounds of the four inputs.
  static constexpr int kMaxDiskGb = 999999999;
  static constexpr int kMaxHoursPerDay = 24;
  static constexpr int kMaxDays = 366;

  CDlgCapacityCalculator();
  ~CDlgCapacityCalculator() override;

  // Where the channel editor reads its resolutions; set before Create.
  void SetEncodeIniPath(const QString& path) { channelEditor.encodeIniPath = path; }

  // Makes the page a hidden child of parent and initialises it: placement,
  // layout, skins and fonts, the list's columns, texts, the channel editor.
  void Create(QWidget* parent);

  // Places every control for the current size.
  virtual void LayoutCalculator();

  void RecalculateCapacity();
  void ComputeRecordDays();
  void ComputeDiskSpace();

  // Writes record into row; with insert a new unchecked row goes in at that
  // index first (callers append: row = RowCount()).
  void SetChannelRow(int row, const CapacityChannelRecord& record, bool insert);
  int CountCheckedRows() const;
  void SetAllRowChecks(bool checked);
  // True when no row is unchecked (an empty list too).
  bool AreAllRowsChecked() const;
  void SetCalculatorTexts();

  // Commands.
  void OnAddChannel();
  void OnModifyChannel();
  void OnDeleteChannel();
  void OnColumnClick(int column);

  int RowCount() const;
  QString CellText(int row, int column) const;
  bool RowChecked(int row) const;
  void SetRowChecked(int row, bool checked);

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  int32_t recordDays = 0;   // the days result shown
  int32_t diskSpaceGb = 0;  // the disk-space result shown
  bool allChecked = false;  // set only while every row is known to be checked

  // The controls, reachable for tests.
  QWidget leftPanel;
  QWidget rightPanel;
  QWidget daysBox;
  QWidget diskBox;
  CMyColorListCtrlEx channelList;
  CxSkinButton addButton;
  CxSkinButton modifyButton;
  CxSkinButton deleteButton;
  QLabel daysBoxTitle;
  QFrame daysBoxLine;
  QLabel diskSizeLabel;
  QLineEdit diskSizeEdit;
  QLabel diskSizeUnit;
  QLabel daysHoursLabel;
  QLineEdit daysHoursEdit;
  QLabel daysHoursUnit;
  QLabel recordDaysCaption;
  QLabel recordDaysResult;
  QLabel diskBoxTitle;
  QFrame diskBoxLine;
  QLabel daysLabel;
  QLineEdit daysEdit;
  QLabel daysUnit;
  QLabel diskHoursLabel;
  QLineEdit diskHoursEdit;
  QLabel diskHoursUnit;
  QLabel diskSpaceCaption;
  QLabel diskSpaceResult;

  CDlgCapacityChannelInfo channelEditor;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool OnInitDialog();
  void InitChannelColumns();
  void OnRowChanged(int row);
  void ShowChannelEditor(bool modify);
  void WriteRecordDays(int32_t days);
  void WriteDiskSpace(int32_t gb);
  int64_t CheckedRowLoad(int row) const;

  bool created_ = false;
};

// The one calculator page, set when it initialises; the channel editor sends
// its rows here.
extern CDlgCapacityCalculator* CapacityCalculatorInstance;
