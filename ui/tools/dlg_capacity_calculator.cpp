// The capacity calculator page: controls, layout, texts, rows, commands and
// painting. The arithmetic of the two results is in capacity_formulas.cpp.
#include "ui/tools/dlg_capacity_calculator.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QTreeWidgetItem>
#include <algorithm>
#include <utility>

#include "core/language/language.h"
#include "core/util/number_text.h"
#include "core/util/text_conversion.h"
#include "ui/controls/dlg_tip.h"
#include "ui/filters/edit_filters.h"
#include "ui/framework/colours.h"
#include "ui/framework/content_page.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/skins.h"
#include "ui/tools/capacity_formulas.h"

CDlgCapacityCalculator* CapacityCalculatorInstance = nullptr;

namespace {

// Item data role of column 0 under which a row keeps its image-quality level.
constexpr int kQualityRole = Qt::UserRole + 1;

QString QualityText(int level) {
  if (level < 0 || level >= kImageQualityCount) return QString();
  return Text(QString::fromLatin1(ImageQualityTable[static_cast<std::size_t>(level)].key));
}

// A key whose text may be missing from a language file shows the key itself,
// which is the text meant ("GB").
QString DaysText(int32_t days) { return QString::number(days) + u' ' + Text(QStringLiteral("tx.Days")); }
QString DiskSpaceText(int32_t gb) { return QString::number(gb) + QStringLiteral(" GB"); }

// Some languages' texts are wider than the statics the layout gives them:
// such a text is drawn in a smaller size of the page's font, down to three
// quarters of it, rather than cut.
void SetFittedText(QLabel& label, const QString& text) {
  label.setText(text);
  QFont font = label.parentWidget() ? label.parentWidget()->font() : label.font();
  const int base = QFontInfo(font).pixelSize();
  for (int size = base; size >= base * 3 / 4; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).horizontalAdvance(text) <= label.width()) break;
  }
  label.setFont(font);
}

}  // namespace

CDlgCapacityCalculator::CDlgCapacityCalculator()
    : leftPanel(this),
      rightPanel(this),
      daysBox(this),
      diskBox(this),
      channelList(this),
      addButton(this),
      modifyButton(this),
      deleteButton(this),
      daysBoxTitle(this),
      daysBoxLine(this),
      diskSizeLabel(this),
      diskSizeEdit(this),
      diskSizeUnit(this),
      daysHoursLabel(this),
      daysHoursEdit(this),
      daysHoursUnit(this),
      recordDaysCaption(this),
      recordDaysResult(this),
      diskBoxTitle(this),
      diskBoxLine(this),
      daysLabel(this),
      daysEdit(this),
      daysUnit(this),
      diskHoursLabel(this),
      diskHoursEdit(this),
      diskHoursUnit(this),
      diskSpaceCaption(this),
      diskSpaceResult(this) {
  hide();
  keyfilter::SwallowEnterAndEsc(this);
  const std::pair<QWidget*, int> ids[] = {
      {&leftPanel, kIdLeftPanel},
      {&rightPanel, kIdRightPanel},
      {&daysBox, kIdDaysBox},
      {&diskBox, kIdDiskBox},
      {&channelList, kIdList},
      {&addButton, kIdAdd},
      {&modifyButton, kIdModify},
      {&deleteButton, kIdDelete},
      {&daysBoxTitle, kIdDaysBoxTitle},
      {&daysBoxLine, kIdDaysBoxLine},
      {&diskSizeLabel, kIdDiskSizeLabel},
      {&diskSizeEdit, kIdDiskSize},
      {&diskSizeUnit, kIdDiskSizeUnit},
      {&daysHoursLabel, kIdDaysHoursLabel},
      {&daysHoursEdit, kIdDaysHours},
      {&daysHoursUnit, kIdDaysHoursUnit},
      {&recordDaysCaption, kIdRecordDaysCaption},
      {&recordDaysResult, kIdRecordDaysResult},
      {&diskBoxTitle, kIdDiskBoxTitle},
      {&diskBoxLine, kIdDiskBoxLine},
      {&daysLabel, kIdDaysLabel},
      {&daysEdit, kIdDays},
      {&daysUnit, kIdDaysUnit},
      {&diskHoursLabel, kIdDiskHoursLabel},
      {&diskHoursEdit, kIdDiskHours},
      {&diskHoursUnit, kIdDiskHoursUnit},
      {&diskSpaceCaption, kIdDiskSpaceCaption},
      {&diskSpaceResult, kIdDiskSpaceResult},
  };
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));

  // The panels and boxes are invisible frames: the page paints their
  // rectangles and they never take a click.
  for (QWidget* frame : {&leftPanel, &rightPanel, &daysBox, &diskBox}) {
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->lower();
  }
  for (QFrame* line : {&daysBoxLine, &diskBoxLine}) {
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, colours::kLine);
    line->setPalette(pal);
  }
  for (QLabel* result : {&recordDaysResult, &diskSpaceResult}) {
    result->setAlignment(Qt::AlignCenter);
    QPalette pal = result->palette();
    pal.setColor(QPalette::WindowText, colours::FromColorRef(kResultColour));
    result->setPalette(pal);
  }
  for (QLabel* label : {&daysBoxTitle, &diskBoxTitle, &diskSizeLabel, &diskSizeUnit, &daysHoursLabel, &daysHoursUnit,
                        &recordDaysCaption, &recordDaysResult, &daysLabel, &daysUnit, &diskHoursLabel, &diskHoursUnit,
                        &diskSpaceCaption, &diskSpaceResult})
    label->setTextFormat(Qt::PlainText);
  for (QLabel* label : {&diskSizeLabel, &daysHoursLabel, &recordDaysCaption, &daysLabel, &diskHoursLabel,
                        &diskSpaceCaption, &daysBoxTitle, &diskBoxTitle})
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (QLineEdit* edit : {&diskSizeEdit, &daysHoursEdit, &daysEdit, &diskHoursEdit}) edit->setTextMargins(4, 0, 4, 0);
  recordDaysResult.setText(DaysText(0));
  diskSpaceResult.setText(DiskSpaceText(0));

  channelList.columnMask = 127;  // every column may be resized
  channelList.setSelectionMode(QAbstractItemView::SingleSelection);
  channelList.setSelectionBehavior(QAbstractItemView::SelectRows);
  channelList.setEditTriggers(QAbstractItemView::NoEditTriggers);
  channelList.setWordWrap(false);
  channelList.setSortingEnabled(false);
  channelList.header()->setSectionsClickable(true);
  channelList.header()->setSectionsMovable(false);

  connect(&addButton, &QPushButton::clicked, this, &CDlgCapacityCalculator::OnAddChannel);
  connect(&modifyButton, &QPushButton::clicked, this, &CDlgCapacityCalculator::OnModifyChannel);
  connect(&deleteButton, &QPushButton::clicked, this, &CDlgCapacityCalculator::OnDeleteChannel);
  connect(channelList.header(), &QHeaderView::sectionClicked, this, &CDlgCapacityCalculator::OnColumnClick);
  connect(&channelList, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* item, int) { OnRowChanged(channelList.indexOfTopLevelItem(item)); });

  // Each edit is clamped as it changes, then recomputes its own result.
  const struct {
    QLineEdit* edit;
    int max;
    void (CDlgCapacityCalculator::*compute)();
  } edits[] = {{&diskSizeEdit, kMaxDiskGb, &CDlgCapacityCalculator::ComputeRecordDays},
               {&daysHoursEdit, kMaxHoursPerDay, &CDlgCapacityCalculator::ComputeRecordDays},
               {&daysEdit, kMaxDays, &CDlgCapacityCalculator::ComputeDiskSpace},
               {&diskHoursEdit, kMaxHoursPerDay, &CDlgCapacityCalculator::ComputeDiskSpace}};
  for (const auto& e : edits) {
    connect(e.edit, &QLineEdit::textChanged, this, [this, edit = e.edit, max = e.max, compute = e.compute] {
      ClampEditNumber(edit, 0, max);
      (this->*compute)();
    });
  }
}

CDlgCapacityCalculator::~CDlgCapacityCalculator() {
  if (CapacityCalculatorInstance == this) CapacityCalculatorInstance = nullptr;
  // The members go after this body: the list must not report anything to a
  // half-destroyed page meanwhile.
  channelList.blockSignals(true);
}

void CDlgCapacityCalculator::Create(QWidget* parent) {
  if (created_) return;
  created_ = true;
  setParent(parent);
  hide();
  OnInitDialog();
}

bool CDlgCapacityCalculator::OnInitDialog() {
  content_page::PlaceInParent(*this);
  LayoutCalculator();
  for (CxSkinButton* button : {&addButton, &modifyButton, &deleteButton})
    button->SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  const QFont bold = skins::PixelFont(QStringLiteral("Tahoma"), 22, 600);  // the main window's bold font
  recordDaysResult.setFont(bold);
  diskSpaceResult.setFont(bold);
  InitChannelColumns();
  SetCalculatorTexts();
  CapacityCalculatorInstance = this;
  channelEditor.Create(this);
  return true;
}

void CDlgCapacityCalculator::LayoutCalculator() {
  const int l = 0;
  const int t = 0;
  const int r = width();
  const int b = height();
  rightPanel.setGeometry(r - 330, t + 10, 320, b - t - 20);
  daysBox.setGeometry(r - 320, t + 58, 300, 235);
  diskBox.setGeometry(r - 320, t + 313, 300, 235);
  leftPanel.setGeometry(l + 10, t + 10, r - l - 370, b - t - 20);
  addButton.setGeometry(l + 20, t + 20, 112, 28);
  modifyButton.setGeometry(l + 142, t + 20, 112, 28);
  deleteButton.setGeometry(l + 264, t + 20, 112, 28);
  const QRect p = leftPanel.geometry();
  channelList.setGeometry(p.left() + 10, t + 58, p.width() - 20, p.top() + p.height() - t - 68);

  // The two boxes share one pattern.
  const struct {
    QWidget* box;
    QLabel* title;
    QFrame* line;
    QLabel* firstLabel;
    QLabel* secondLabel;
    QLabel* caption;
    QLineEdit* firstEdit;
    QLabel* firstUnit;
    QLineEdit* secondEdit;
    QLabel* secondUnit;
    QLabel* result;
  } boxes[] = {{&daysBox, &daysBoxTitle, &daysBoxLine, &diskSizeLabel, &daysHoursLabel, &recordDaysCaption,
                &diskSizeEdit, &diskSizeUnit, &daysHoursEdit, &daysHoursUnit, &recordDaysResult},
               {&diskBox, &diskBoxTitle, &diskBoxLine, &daysLabel, &diskHoursLabel, &diskSpaceCaption, &daysEdit,
                &daysUnit, &diskHoursEdit, &diskHoursUnit, &diskSpaceResult}};
  for (const auto& x : boxes) {
    const QRect box = x.box->geometry();
    const int bl = box.left();
    const int bt = box.top();
    x.title->setGeometry(bl + 20, bt + 20, box.width() - 40, 20);
    x.line->setGeometry(bl + 10, bt + 41, box.width() - 20, 1);
    x.firstLabel->setGeometry(bl + 20, bt + 69, 135, 20);
    x.secondLabel->setGeometry(bl + 20, bt + 107, 135, 20);
    x.caption->setGeometry(bl + 20, bt + 163, 135, 20);
    x.firstEdit->setGeometry(bl + 165, bt + 61, 80, 28);
    x.firstUnit->setGeometry(bl + 250, bt + 69, 41, 20);
    x.secondEdit->setGeometry(bl + 165, bt + 99, 80, 28);
    x.secondUnit->setGeometry(bl + 250, bt + 107, 41, 20);
    x.result->setGeometry(bl + 5, bt + 193, 290, 28);
  }
  update();
}

void CDlgCapacityCalculator::InitChannelColumns() {
  channelList.setColumnCount(kCapacityColumnCount);
  QTreeWidgetItem* header = channelList.headerItem();
  for (const CapacityColumn& column : CapacityColumnTable) {
    header->setText(column.id, QString::fromLatin1(column.titleKey));
    header->setTextAlignment(column.id, Qt::AlignCenter);
    channelList.setColumnWidth(column.id, column.width);
  }
}

void CDlgCapacityCalculator::SetCalculatorTexts() {
  const struct {
    CxSkinButton* button;
    const char* key;
  } buttons[] = {{&addButton, "tx.Add_channel"}, {&deleteButton, "tx.Del_channel"}, {&modifyButton, "tx.Modify_channel"}};
  for (const auto& b : buttons) {
    const QString text = Text(QString::fromLatin1(b.key));
    b.button->caption = text;
    b.button->setText(text);
    b.button->SetToolTipText(text);
    b.button->update();
  }

  const struct {
    QLabel* label;
    const char* key;
  } statics[] = {{&daysBoxTitle, "tx.Disk_space_given"},
                 {&diskSizeLabel, "tx.Disk_space"},
                 {&diskSizeUnit, "GB"},
                 {&daysHoursLabel, "tx.Record_time_per_day"},
                 {&daysHoursUnit, "tx.Hours"},
                 {&recordDaysCaption, "tx.Record_time"},
                 {&diskBoxTitle, "tx.Recording_time_given"},
                 {&daysLabel, "tx.Record_time"},
                 {&daysUnit, "tx.Days"},
                 {&diskHoursLabel, "tx.Record_time_per_day"},
                 {&diskHoursUnit, "tx.Hours"},
                 {&diskSpaceCaption, "tx.Disk_space"}};
  for (const auto& s : statics) SetFittedText(*s.label, Text(QString::fromLatin1(s.key)));
  recordDaysResult.setText(DaysText(recordDays));

  QTreeWidgetItem* header = channelList.headerItem();
  for (const CapacityColumn& column : CapacityColumnTable)
    header->setText(column.id, Text(QString::fromLatin1(column.titleKey)));

  // Only the image-quality cells carry words; no row changes in substance.
  const QSignalBlocker quiet(&channelList);
  for (int row = 0; row < RowCount(); ++row) {
    QTreeWidgetItem* item = channelList.topLevelItem(row);
    item->setText(kCapColQuality, QualityText(item->data(kCapColCheck, kQualityRole).toInt()));
  }
}

// --- rows ------------------------------------------------------------------------------

int CDlgCapacityCalculator::RowCount() const { return channelList.topLevelItemCount(); }

QString CDlgCapacityCalculator::CellText(int row, int column) const {
  const QTreeWidgetItem* item = row >= 0 && row < RowCount() ? channelList.topLevelItem(row) : nullptr;
  return item && column >= 0 && column < kCapacityColumnCount ? item->text(column) : QString();
}

bool CDlgCapacityCalculator::RowChecked(int row) const {
  const QTreeWidgetItem* item = row >= 0 && row < RowCount() ? channelList.topLevelItem(row) : nullptr;
  return item && item->checkState(kCapColCheck) == Qt::Checked;
}

void CDlgCapacityCalculator::SetRowChecked(int row, bool checked) {
  if (row < 0 || row >= RowCount()) return;
  channelList.topLevelItem(row)->setCheckState(kCapColCheck, checked ? Qt::Checked : Qt::Unchecked);
}

void CDlgCapacityCalculator::SetChannelRow(int row, const CapacityChannelRecord& record, bool insert) {
  QTreeWidgetItem* item = nullptr;
  {
    // One change notice for the whole row, after it is written.
    const QSignalBlocker quiet(&channelList);
    if (insert) {
      row = std::clamp(row, 0, RowCount());
      item = new QTreeWidgetItem;
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      item->setCheckState(kCapColCheck, Qt::Unchecked);
      for (int column = 0; column < kCapacityColumnCount; ++column) item->setTextAlignment(column, Qt::AlignCenter);
      channelList.insertTopLevelItem(row, item);
    } else {
      if (row < 0 || row >= RowCount()) return;
      item = channelList.topLevelItem(row);
    }
    QString standard;
    QString resolution;
    Utf8ToCString(standard, record.videoStandard);
    Utf8ToCString(resolution, record.resolution);
    item->setText(kCapColChannels, QString::number(record.channels));
    item->setText(kCapColStandard, standard);
    item->setText(kCapColQuality, QualityText(record.imageQuality));
    item->setText(kCapColResolution, resolution);
    item->setText(kCapColFrameRate, QString::number(record.frameRate));
    item->setText(kCapColBitRate, QString::number(record.bitRate));
    item->setData(kCapColCheck, kQualityRole, record.imageQuality);
  }
  OnRowChanged(row);
}

int CDlgCapacityCalculator::CountCheckedRows() const {
  int count = 0;
  for (int row = 0; row < RowCount(); ++row) count += RowChecked(row) ? 1 : 0;
  return count;
}

void CDlgCapacityCalculator::SetAllRowChecks(bool checked) {
  if (RowCount() == 0) return;
  {
    const QSignalBlocker quiet(&channelList);
    for (int row = 0; row < RowCount(); ++row) SetRowChecked(row, checked);
  }
  OnRowChanged(RowCount() - 1);  // every row changed alike: one notice tells it
}

bool CDlgCapacityCalculator::AreAllRowsChecked() const {
  for (int row = 0; row < RowCount(); ++row)
    if (!RowChecked(row)) return false;
  return true;
}

// Any change of a row, its check box included.
void CDlgCapacityCalculator::OnRowChanged(int row) {
  if (allChecked) {
    if (!RowChecked(row)) allChecked = false;
  } else if (AreAllRowsChecked()) {
    allChecked = true;
  }
  RecalculateCapacity();
}

// --- results -------------------------------------------------------------------------------

int64_t CDlgCapacityCalculator::CheckedRowLoad(int row) const {
  const QTreeWidgetItem* item = channelList.topLevelItem(row);
  int channels = 0;
  int64_t rate = 0;
  CStringToInt(item->text(kCapColChannels), &channels, 10);
  CStringToInt64(item->text(kCapColBitRate), &rate, 10);
  return capacity::GroupLoad(channels, rate);
}

void CDlgCapacityCalculator::RecalculateCapacity() {
  ComputeRecordDays();
  ComputeDiskSpace();
}

void CDlgCapacityCalculator::ComputeRecordDays() {
  int disk = 0;
  int hours = 0;
  CStringToInt(diskSizeEdit.text(), &disk, 10);
  CStringToInt(daysHoursEdit.text(), &hours, 10);
  uint64_t sum = 0;  // wraps rather than overflows
  for (int row = 0; row < RowCount(); ++row)
    if (RowChecked(row)) sum += static_cast<uint64_t>(CheckedRowLoad(row));
  const int32_t days = capacity::RecordDays(disk, hours, static_cast<int64_t>(sum));
  if (days != recordDays) WriteRecordDays(days);
}

void CDlgCapacityCalculator::ComputeDiskSpace() {
  int days = 0;
  int hours = 0;
  CStringToInt(daysEdit.text(), &days, 10);
  CStringToInt(diskHoursEdit.text(), &hours, 10);
  float total = 0.0f;
  for (int row = 0; row < RowCount(); ++row)
    if (RowChecked(row)) total = total + capacity::GroupDiskSpace(days, hours, CheckedRowLoad(row));
  const int32_t gb = RowCount() == 0 ? 0 : capacity::DiskSpaceGb(total);
  if (gb != diskSpaceGb) WriteDiskSpace(gb);
}

void CDlgCapacityCalculator::WriteRecordDays(int32_t days) {
  recordDays = days;
  recordDaysResult.setText(DaysText(days));
}

void CDlgCapacityCalculator::WriteDiskSpace(int32_t gb) {
  diskSpaceGb = gb;
  diskSpaceResult.setText(DiskSpaceText(gb));
}

// --- commands ----------------------------------------------------------------------------------

void CDlgCapacityCalculator::ShowChannelEditor(bool modify) {
  QRect frame = channelEditor.frameGeometry();
  frame.moveCenter(mapToGlobal(rect().center()));
  channelEditor.move(frame.topLeft());
  channelEditor.modifyMode = modify;
  if (QWidget* main = channelEditor.MainWindow()) main->setEnabled(false);
  channelEditor.show();
  channelEditor.raise();
  channelEditor.activateWindow();
}

void CDlgCapacityCalculator::OnAddChannel() { ShowChannelEditor(false); }

void CDlgCapacityCalculator::OnModifyChannel() {
  if (CountCheckedRows() == 0) {
    ShowNotice("msg.sel_channel_first");
    return;
  }
  ShowChannelEditor(true);
}

void CDlgCapacityCalculator::OnDeleteChannel() {
  if (CountCheckedRows() == 0) {
    ShowNotice("msg.sel_channel_first");
    return;
  }
  if (allChecked) {
    channelList.clear();
    RecalculateCapacity();
    return;
  }
  for (int row = 0; row < RowCount();) {
    if (RowChecked(row)) {
      delete channelList.takeTopLevelItem(row);
    } else {
      ++row;
    }
  }
  if (recordDays != 0) WriteRecordDays(0);
  if (diskSpaceGb != 0) WriteDiskSpace(0);
}

void CDlgCapacityCalculator::OnColumnClick(int column) {
  if (column != kCapColCheck || RowCount() == 0) return;
  allChecked = !allChecked;
  SetAllRowChecks(allChecked);
}

// --- messages and painting -----------------------------------------------------------------------

pm::LRESULT CDlgCapacityCalculator::OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM) {
  switch (message) {
    case pm::WM_CAPACITY_ADD_CHANNEL:
      if (const auto* record = reinterpret_cast<const CapacityChannelRecord*>(wParam)) {
        SetChannelRow(RowCount(), *record, true);
        RecalculateCapacity();
      }
      return 1;
    case pm::WM_CAPACITY_MODIFY_CHANNEL:
      if (const auto* record = reinterpret_cast<const CapacityChannelRecord*>(wParam)) {
        for (int row = 0; row < RowCount(); ++row)
          if (RowChecked(row)) SetChannelRow(row, *record, false);
        RecalculateCapacity();
      }
      return 1;
    case pm::WM_LANGUAGE_CHANGED:
      SetCalculatorTexts();
      pm::PostPrivateMessage(&channelEditor, pm::WM_LANGUAGE_CHANGED, 0, 0);
      return 1;
    case pm::WM_PARENT_RESIZED:
      content_page::PlaceInParent(*this);
      LayoutCalculator();
      update();
      return 1;
    default:
      return 0;
  }
}

void CDlgCapacityCalculator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(kBackgroundColour));
  p.fillRect(leftPanel.geometry(), colours::FromColorRef(kPanelColour));
  p.fillRect(rightPanel.geometry(), colours::FromColorRef(kPanelColour));
  p.fillRect(daysBox.geometry(), colours::FromColorRef(kBackgroundColour));
  p.fillRect(diskBox.geometry(), colours::FromColorRef(kBackgroundColour));
}
