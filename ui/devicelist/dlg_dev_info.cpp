// The device list page: controls, layout, messages, filling, sorting and the
// FIND/ALL filter.
#include "ui/devicelist/dlg_dev_info.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "core/language/language.h"
#include "ui/framework/colours.h"
#include "ui/framework/content_page.h"
#include "ui/framework/key_filter.h"
#include "core/util/text_conversion.h"
#include "ui/devicelist/device_columns.h"
#include "ui/controls/dlg_tip.h"

namespace {

// Item data role under which a row keeps its record.
constexpr int kRecordRole = Qt::UserRole + 1;

}  // namespace

CDlgDevInfo::CDlgDevInfo(QWidget* parent)
    : QWidget(parent),
      deviceList(this),
      filterEdit(this),
      findButton(this),
      allButton(this),
      netButton(this),
      exportButton(this),
      searchButton(this),
      separator1(this),
      separator2(this),
      countLabel(this),
      countText(this),
      qrPicture(this) {
  hide();
  keyfilter::SwallowEnterAndEsc(this);
  const std::pair<QWidget*, int> ids[] = {
      {&deviceList, kIdList},       {&filterEdit, kIdFilterEdit}, {&findButton, kIdFind},
      {&allButton, kIdAll},         {&netButton, kIdNet},         {&exportButton, kIdExport},
      {&searchButton, kIdSearch},   {&separator1, kIdSeparator1}, {&separator2, kIdSeparator2},
      {&countLabel, kIdCountLabel}, {&countText, kIdCount},       {&qrPicture, kIdQrPicture}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));

  for (QFrame* separator : {&separator1, &separator2}) {
    separator->setFrameShape(QFrame::Box);
    separator->setLineWidth(1);
    separator->setStyleSheet(QStringLiteral("color: black;"));
  }
  qrPicture.setAlignment(Qt::AlignCenter);
  // Left also for a right-to-left text (a label aligns by its text's
  // direction otherwise), which would then run into the count on its right.
  countLabel.setAlignment(Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignVCenter);
  filterEdit.setTextMargins(4, 0, 4, 0);

  deviceList.setSelectionMode(QAbstractItemView::SingleSelection);
  deviceList.setSelectionBehavior(QAbstractItemView::SelectRows);
  deviceList.setEditTriggers(QAbstractItemView::NoEditTriggers);
  deviceList.setWordWrap(false);
  deviceList.setContextMenuPolicy(Qt::CustomContextMenu);
  deviceList.header()->setSectionsClickable(true);
  deviceList.header()->setSectionsMovable(false);

  connect(&findButton, &QPushButton::clicked, this, &CDlgDevInfo::OnFind);
  connect(&allButton, &QPushButton::clicked, this, &CDlgDevInfo::OnShowAll);
  connect(&netButton, &QPushButton::clicked, this, &CDlgDevInfo::OnNetworkButton);
  connect(&exportButton, &QPushButton::clicked, this, &CDlgDevInfo::OnExportButton);
  connect(&searchButton, &QPushButton::clicked, this, &CDlgDevInfo::RequestSearch);
  connect(deviceList.header(), &QHeaderView::sectionClicked, this, &CDlgDevInfo::OnDeviceColumnClick);
  connect(&deviceList, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { OnDeviceListClick(deviceList.indexOfTopLevelItem(item)); });
  connect(&deviceList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
    OnDeviceListDblClk(deviceList.indexOfTopLevelItem(item), column);
  });
  connect(&deviceList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QTreeWidgetItem* item = deviceList.itemAt(at);
    OnDeviceListRightClick(item ? deviceList.indexOfTopLevelItem(item) : -1, deviceList.columnAt(at.x()));
  });
  // A click beside the rows: the QR picture goes as for a row without a cloud id.
  deviceList.viewport()->installEventFilter(this);
}

CDlgDevInfo::~CDlgDevInfo() {
  // The list goes before the page's base: its viewport must not report to a half-destroyed page.
  deviceList.viewport()->removeEventFilter(this);
  ClearQrPicture();
}

bool CDlgDevInfo::Create(QWidget* parent) {
  if (created_) return true;
  setParent(parent);
  hide();
  created_ = true;
  return OnInitDialog();
}

bool CDlgDevInfo::OnInitDialog() {
  content_page::PlaceInParent(*this);
  LayoutDevicePage();
  LoadSkins();
  InitDeviceColumns();
  SetDevicePageTexts();
  return true;
}

void CDlgDevInfo::LayoutDevicePage() {
  const int r = width();
  const int b = height();
  filterEdit.setGeometry(10, 20, 154, 28);
  findButton.setGeometry(174, 20, 28, 28);
  allButton.setGeometry(212, 20, 28, 28);
  separator1.setGeometry(250, 20, 1, 28);
  netButton.setGeometry(260, 20, 28, 28);
  separator2.setGeometry(298, 20, 1, 28);
  exportButton.setGeometry(309, 20, 28, 28);
  searchButton.setGeometry(417, 20, 84, 28);
  countLabel.setGeometry(511, 34, 155, 14);
  countText.setGeometry(666, 18, 60, 28);
  qrPicture.setGeometry(851, 10, 46, 46);
  deviceList.setGeometry(10, 66, r - 20, b - 76);
}

void CDlgDevInfo::LoadSkins() {
  findButton.SetSkin(188, 187, 189, 186);
  allButton.SetSkin(173, 172, 174, 171);
  netButton.SetSkin(195, 194, 196, 193);
  exportButton.SetSkin(232, 230, 233, 228);
  searchButton.SetSkin(179, 178, 180, 177);
  searchButton.forcedState = 1;  // idle look: the pressed picture
  searchButton.textColour = Qt::white;
  searchButton.update();
  if (host_) {
    countText.setFont(host_->CountFont());
  } else {
    QFont large(QStringLiteral("Tahoma"));
    large.setPixelSize(34);
    countText.setFont(large);
  }
}

void CDlgDevInfo::SetDevicePageTexts() {
  const struct {
    CxSkinButton* button;
    const char* key;
  } buttons[] = {{&findButton, "tx.Find"},
                 {&allButton, "tx.All"},
                 {&netButton, "tx.NetworkModify"},
                 {&exportButton, "tx.Export"},
                 {&searchButton, "tx.Search"}};
  for (const auto& b : buttons) {
    const QString text = Text(QString::fromLatin1(b.key));
    b.button->setText(text);
    b.button->SetToolTipText(text);
  }
  searchButton.caption = Text(QStringLiteral("tx.Search"));
  countLabel.setText(Text(QStringLiteral("tx.dev_num_descri")));
  for (const auto& b : buttons) b.button->update();
  RetitleDeviceColumns();
}

void CDlgDevInfo::RetitleDeviceColumns() {
  QTreeWidgetItem* header = deviceList.headerItem();
  for (const DeviceColumn& column : DeviceColumnTable) header->setText(column.id, Text(QString::fromLatin1(column.titleKey)));
  for (int row = 0; row < RowCount(); ++row)
    if (DeviceRecord* record = RecordAt(row)) SetCellText(row, kColLoginState, LoginStateText(*record));
}

void CDlgDevInfo::InitDeviceColumns() {
  int mask = kDefaultColumnMask;
  if (host_) mask = host_->ColumnMask();
  shownColumns = mask;
  deviceList.columnMask = static_cast<uint32_t>(mask);
  deviceList.setColumnCount(kDeviceColumnCount);
  QTreeWidgetItem* header = deviceList.headerItem();
  for (const DeviceColumn& column : DeviceColumnTable) {
    header->setText(column.id, QString::fromLatin1(column.titleKey));
    header->setTextAlignment(column.id, Qt::AlignCenter);
    deviceList.setColumnWidth(column.id, ColumnShown(mask, column.id) ? column.width : 0);
  }
}

void CDlgDevInfo::ApplyColumnMask(int mask) {
  if (mask == 0 || mask == 1) return;
  for (int column = 1; column < kDeviceColumnCount; ++column)
    deviceList.setColumnWidth(column, ColumnShown(mask, column) ? DeviceColumnTable[column].width : 0);
  shownColumns = mask;
  deviceList.columnMask = static_cast<uint32_t>(mask);
}

bool CDlgDevInfo::OnHeaderBeginDrag(int column) const { return !ColumnShown(shownColumns, column); }

// --- rows -----------------------------------------------------------------------

namespace {

DeviceRecord* RecordOfItem(const QTreeWidgetItem* item) {
  return item ? static_cast<DeviceRecord*>(item->data(kColNo, kRecordRole).value<void*>()) : nullptr;
}

// One list row: the number, the thirteen cells of the record, the record as
// item data.
QTreeWidgetItem* MakeRow(DeviceRecord* record, int number) {
  auto* item = new QTreeWidgetItem;
  item->setText(kColNo, QString::number(number));
  item->setData(kColNo, kRecordRole, QVariant::fromValue(static_cast<void*>(record)));
  for (int column = 1; column < kDeviceColumnCount; ++column) item->setText(column, DeviceCellText(*record, column));
  for (int column = 0; column < kDeviceColumnCount; ++column) item->setTextAlignment(column, Qt::AlignCenter);
  return item;
}

}  // namespace

int CDlgDevInfo::RowCount() const { return deviceList.topLevelItemCount(); }

DeviceRecord* CDlgDevInfo::RecordAt(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return RecordOfItem(deviceList.topLevelItem(row));
}

QString CDlgDevInfo::CellText(int row, int column) const {
  const QTreeWidgetItem* item = row >= 0 && row < RowCount() ? deviceList.topLevelItem(row) : nullptr;
  return item && column >= 0 && column < kDeviceColumnCount ? item->text(column) : QString();
}

void CDlgDevInfo::SetCellText(int row, int column, const QString& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kDeviceColumnCount) return;
  deviceList.topLevelItem(row)->setText(column, text);
}

int CDlgDevInfo::FirstSelectedRow() const {
  for (int row = 0; row < RowCount(); ++row)
    if (deviceList.topLevelItem(row)->isSelected()) return row;
  return -1;
}

void CDlgDevInfo::ClearRows() { qDeleteAll(deviceList.invisibleRootItem()->takeChildren()); }

void CDlgDevInfo::AddDeviceRow(DeviceRecord* record) {
  if (record) deviceList.addTopLevelItem(MakeRow(record, RowCount() + 1));
}

void CDlgDevInfo::FillDeviceList(const DeviceMap& map) {
  deviceList.setUpdatesEnabled(false);
  ClearRows();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(map.size()));
  for (const auto& entry : map)
    rows.append(MakeRow(const_cast<DeviceRecord*>(&entry.second), static_cast<int>(rows.size()) + 1));
  deviceList.addTopLevelItems(rows);  // in one go: one layout for all rows
  deviceList.setUpdatesEnabled(true);
  countText.setText(QString::number(rows.size()));
}

int CDlgDevInfo::FilterDeviceList(DeviceMap& map, const std::string& text) {
  if (map.empty() || text.empty()) return -1;
  deviceList.setUpdatesEnabled(false);
  ClearRows();
  QList<QTreeWidgetItem*> rows;
  for (auto& entry : map)
    if (DeviceMatchesFilter(entry.second, text, shownColumns))
      rows.append(MakeRow(&entry.second, static_cast<int>(rows.size()) + 1));
  deviceList.addTopLevelItems(rows);
  deviceList.setUpdatesEnabled(true);
  return 1;
}

void CDlgDevInfo::OnDeviceColumnClick(int column) {
  if (column <= 0 || column >= kDeviceColumnCount) return;
  DeviceColumn& state = DeviceColumnTable[column];
  const bool ascending = state.sortState == 1;
  state.sortState = ascending ? 2 : 1;

  // Take the rows out, order them by the comparator and put them back; the
  // items keep their cells and their records.
  QTreeWidgetItem* selected = deviceList.currentItem();
  deviceList.setUpdatesEnabled(false);
  QList<QTreeWidgetItem*> rows = deviceList.invisibleRootItem()->takeChildren();
  std::stable_sort(rows.begin(), rows.end(), [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    const DeviceRecord* ra = RecordOfItem(a);
    const DeviceRecord* rb = RecordOfItem(b);
    return (ascending ? CompareDevicesAscending(ra, rb, column) : CompareDevicesDescending(ra, rb, column)) < 0;
  });
  for (qsizetype i = 0; i < rows.size(); ++i) rows[i]->setText(kColNo, QString::number(i + 1));
  deviceList.addTopLevelItems(rows);
  if (selected) deviceList.setCurrentItem(selected);
  deviceList.setUpdatesEnabled(true);
}

void CDlgDevInfo::RefreshPortColumns() {
  for (int row = 0; row < RowCount(); ++row) {
    DeviceRecord* record = RecordAt(row);
    if (!record) continue;
    SetCellText(row, kColTcpPort, PortText(record->tcpPort));
    SetCellText(row, kColHttpPort, PortText(record->httpPort));
    if (record->onvifCapable) SetCellText(row, kColOnvifPort, PortText(record->httpPort));
  }
}

// --- FIND and ALL -----------------------------------------------------------------

void CDlgDevInfo::OnFind() {
  const QString text = filterEdit.text();
  if (text.isEmpty()) return;
  std::string utf8;
  CStringToUtf8(text, utf8);
  if (!host_) return;
  DeviceMap& map = host_->DeviceRecords();
  FilterDeviceList(map, utf8);
  listShowingAll = static_cast<std::size_t>(RowCount()) == map.size() ? 1 : 0;
}

void CDlgDevInfo::OnShowAll() {
  if (listShowingAll) return;
  if (!host_) return;
  FillDeviceList(host_->DeviceRecords());
  listShowingAll = 1;
}

// --- search -------------------------------------------------------------------------

bool CDlgDevInfo::BatchBusy() const { return host_ && host_->BatchRunBusy(); }

bool CDlgDevInfo::DeviceWorkRunning() const { return BatchBusy() || networkChangeRunning || deviceCommandRunning; }

void CDlgDevInfo::RequestSearch() {
  if (!host_) return;
  if (!DeviceWorkRunning()) {
    pm::PostPrivateMessage(host_->SearchReceiver(), pm::WM_REQUEST_SEARCH, 0, 0);
    ClearQrPicture();
    searchFromTimer = 0;
    return;
  }
  if (searchFromTimer) {
    searchFromTimer = 0;  // the timer's request is dropped without a word
    return;
  }
  ShowNotice("info.Configuring_wait");
}

void CDlgDevInfo::OnSearchStarted() {
  searchButton.forcedState = 3;
  searchButton.update();
  searchButton.setEnabled(false);
  countText.setText(QStringLiteral("0"));
  ClearRows();
}

pm::LRESULT CDlgDevInfo::OnSearchFinished() {
  ResetDeviceSortStates();
  searchButton.forcedState = 1;
  searchButton.update();
  searchButton.setEnabled(true);
  if (!host_) return -1;
  if (host_->LastSearchCount() > 0) {
    FillDeviceList(host_->DeviceRecords());
  } else {
    ClearRows();
    countText.setText(QStringLiteral("0"));
  }
  return 1;
}

pm::LRESULT CDlgDevInfo::OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM) {
  switch (message) {
    case pm::WM_LANGUAGE_CHANGED:
      SetDevicePageTexts();
      return 1;
    case pm::WM_DEVINFO_MASK_CHANGED:
      if (static_cast<int>(wParam) != shownColumns) ApplyColumnMask(static_cast<int>(wParam));
      return 1;
    case pm::WM_SEARCH_STARTED:
      OnSearchStarted();
      return 1;
    case pm::WM_SEARCH_FINISHED:
      return OnSearchFinished();
    case pm::WM_PARENT_RESIZED:
      content_page::PlaceInParent(*this);
      LayoutDevicePage();
      return 1;
    case pm::WM_DEVICE_PORTS_CHANGED:
      RefreshPortColumns();
      return 1;
    default:
      return 0;
  }
}

// --- painting and keys ------------------------------------------------------------------

void CDlgDevInfo::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(kBackgroundColour));
}


bool CDlgDevInfo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == deviceList.viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && !deviceList.itemAt(mouse->position().toPoint())) OnDeviceListClick(-1);
  }
  return QWidget::eventFilter(watched, event);
}
