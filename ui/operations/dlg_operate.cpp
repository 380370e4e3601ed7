// The batch-operation page: controls, layout, painting, texts, sub-page
// switching and the device tree.
#include "ui/operations/dlg_operate.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "ui/controls/dlg_tip.h"
#include "ui/framework/colours.h"
#include "ui/framework/content_page.h"
#include "ui/framework/key_filter.h"
#include "ui/controls/dlg_tip.h"

CDlgOperate* OperatePageInstance = nullptr;

namespace {

// Item data role under which a device item keeps its record.
constexpr int kRecordRole = Qt::UserRole + 1;

// Rows five pixels taller than the platform's, so the check boxes breathe.
class TallerRows : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 5);
  }
};

QString RootText() { return Text(QStringLiteral("tx.Device_list")); }

}  // namespace

CDlgOperate::CDlgOperate()
    : deviceTree(this),
      leftPanel(this),
      rightPanel(this),
      findEdit(this),
      findButton(this),
      allButton(this),
      markerBar(this),
      titleLabel(this),
      rebootButton(this),
      passwordButton(this),
      portsButton(this),
      upgradeButton(this),
      configurationButton(this) {
  OperatePageInstance = this;
  hide();
  keyfilter::SwallowEnterAndEsc(this);
  const std::pair<QWidget*, int> ids[] = {
      {&deviceTree, kIdDeviceTree},       {&leftPanel, kIdLeftPanel},    {&rightPanel, kIdRightPanel},
      {&findEdit, kIdFindEdit},           {&findButton, kIdFind},        {&allButton, kIdAll},
      {&markerBar, kIdTitleMarker},       {&titleLabel, kIdTitle},       {&rebootButton, kIdReboot},
      {&passwordButton, kIdPassword},     {&portsButton, kIdPorts},      {&upgradeButton, kIdUpgrade},
      {&configurationButton, kIdConfiguration}};
  for (const auto& [widget, id] : ids) widget->setObjectName(QString::number(id));

  // The panels only lend their rectangles to the painting.
  leftPanel.hide();
  rightPanel.hide();
  markerBar.setAutoFillBackground(true);
  QPalette black = markerBar.palette();
  black.setColor(QPalette::Window, Qt::black);
  markerBar.setPalette(black);
  // Left also for a right-to-left title (a label aligns by its text's
  // direction otherwise), so it stays beside the marker bar.
  titleLabel.setAlignment(Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignVCenter);
  findEdit.setTextMargins(4, 0, 4, 0);
  deviceTree.setItemDelegate(new TallerRows(&deviceTree));

  connect(&findButton, &QPushButton::clicked, this, &CDlgOperate::OnFind);
  connect(&allButton, &QPushButton::clicked, this, &CDlgOperate::OnShowAll);
  const std::pair<CxSkinButton*, int> pageButtons[] = {{&passwordButton, kPagePassword},
                                                       {&portsButton, kPagePorts},
                                                       {&upgradeButton, kPageUpgrade},
                                                       {&configurationButton, kPageConfiguration},
                                                       {&rebootButton, kPageReboot}};
  for (const auto& [button, pageId] : pageButtons)
    connect(button, &QPushButton::clicked, this, [this, id = pageId] { ShowSubPage(id); });
  deviceTree.viewport()->installEventFilter(this);
  watchdogTimer_.setInterval(kWatchdogPeriodMs);
  connect(&watchdogTimer_, &QTimer::timeout, this, [this] { OnUpgradeWatchdog(kWatchdogTimer); });
}

CDlgOperate::~CDlgOperate() {
  // While the page is whole: the workers still hand work to it. The records
  // may be gone already; the window ended the runs while they were not.
  watchdogTimer_.stop();
  upgradeRun.StopAndWait();
  importRun.StopAndWait();
  deviceTree.viewport()->removeEventFilter(this);
  if (OperatePageInstance == this) OperatePageInstance = nullptr;
}

void CDlgOperate::Create(QWidget* parent) {
  if (created_) return;
  created_ = true;
  setParent(parent);
  hide();
  content_page::PlaceInParent(*this);
  LayoutPage();
  LoadSkins();
  CreateSubPages();
  InitDeviceTree();
  SetControlTexts();
  watchdogTimer_.start();
}

bool CDlgOperate::IsBatchBusy() const {
  return rebootBusy || defaultsBusy || passwordBusy || portsBusy || upgradeRun.upgradeBusy || importRun.importBusy;
}

void CDlgOperate::EndRuns() {
  watchdogTimer_.stop();
  upgradeRun.StopAndWait();
  importRun.StopAndWait();
  upgradeRun.CloseStartedUpgrades();
}

pm::LRESULT CDlgOperate::OnUpgradeProgressMessage(DeviceRecord* record, int value) {
  upgradeRun.OnProgressMessage(record, value);
  return 0;
}

void CDlgOperate::OnUpgradeWatchdog(int timerId) {
  if (timerId != kWatchdogTimer || !upgradeRun.upgradeBusy) return;
  if (!rootItem || rootItem->childCount() == 0) return;
  if (upgradeRun.OnWatchdogTick()) setEnabled(true);
}

// --- the device list page, for the runs ---------------------------------------------

int CDlgOperate::BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                            std::string& password) {
  return host_ ? host_->BatchLogin(askCredentials, record, error, user, password) : -1;
}

int CDlgOperate::SetLoginState(std::string mac, int state) {
  return host_ ? host_->SetLoginState(std::move(mac), state) : -1;
}

bool CDlgOperate::SearchRunning() const { return !host_ || host_->SearchRunning(); }

pm::LRESULT CDlgOperate::OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) {
  switch (message) {
    case pm::WM_LANGUAGE_CHANGED:
      return OnLanguageChanged();
    case pm::WM_SEARCH_STARTED:
      return OnSearchStarted();
    case pm::WM_SEARCH_FINISHED:
      return OnSearchFinished();
    case pm::WM_DEVICE_ITEM_UPDATE:
      return OnDeviceItemUpdate(wParam);
    case pm::WM_PARENT_RESIZED:
      return OnParentResized();
    case pm::WM_BATCH_REBOOT:
      return OnBatchReboot();
    case pm::WM_BATCH_DEFAULTS:
      return OnBatchDefaults();
    case pm::WM_BATCH_PASSWORD:
      return OnBatchPassword(reinterpret_cast<const std::string*>(wParam),
                             reinterpret_cast<const std::string*>(lParam));
    case pm::WM_BATCH_PORTS:
      return OnBatchPorts(reinterpret_cast<const BatchPortsPayload*>(wParam));
    case pm::WM_BATCH_UPGRADE:
      return OnBatchUpgrade();
    case pm::WM_BATCH_CONFIG_IMPORT:
      return OnBatchConfigImport(reinterpret_cast<const std::string*>(wParam));
    case pm::WM_UPGRADE_PROGRESS:
      return OnUpgradeProgressMessage(reinterpret_cast<DeviceRecord*>(wParam), static_cast<int>(lParam));
    default:
      return 0;
  }
}

// --- layout and looks -------------------------------------------------------------

void CDlgOperate::LayoutPage() {
  const int w = width();
  const int h = height();
  leftPanel.setGeometry(10, 10, 250, h - 20);
  findEdit.setGeometry(20, 20, 154, 28);
  findButton.setGeometry(184, 20, 28, 28);
  allButton.setGeometry(222, 20, 28, 28);
  deviceTree.setGeometry(20, 58, 230, h - 78);
  rightPanel.setGeometry(300, 10, w - 310, h - 20);
  upgradeButton.setGeometry(310, 50, 84, 35);
  configurationButton.setGeometry(310, 95, 84, 35);
  passwordButton.setGeometry(310, 140, 84, 35);
  portsButton.setGeometry(310, 185, 84, 35);
  rebootButton.setGeometry(310, 230, 84, 35);
  markerBar.setGeometry(425, 50, 3, 20);
  titleLabel.setGeometry(448, 50, w - 468, 20);
  subPageRect = {448, 90, w - 20, h - 20};
}

void CDlgOperate::PlaceSubPage(QWidget* subPage) {
  if (!subPage) return;
  const QRect client = contentsRect();
  subPage->setGeometry(client.left() + subPageRect.left, client.top() + subPageRect.top,
                       subPageRect.right - subPageRect.left, subPageRect.bottom - subPageRect.top);
}

void CDlgOperate::LoadSkins() {
  findButton.SetSkin(188, 187, 189, 186);
  allButton.SetSkin(173, 172, 174, 171);
  for (CxSkinButton* button : {&rebootButton, &passwordButton, &portsButton, &upgradeButton, &configurationButton})
    button->SetSkin(179, 178, 180, 177);
  upgradeButton.forcedState = 1;  // the upgrade sub-page shows first
  upgradeButton.textColour = selectedTextColour;
  upgradeButton.update();
}

void CDlgOperate::SetControlTexts() {
  const struct {
    CxSkinButton* button;
    const char* key;
  } buttons[] = {{&findButton, "tx.Find"},         {&allButton, "tx.All"},
                 {&rebootButton, "tx.Reboot"},     {&passwordButton, "tx.Password"},
                 {&portsButton, "tx.Port"},        {&upgradeButton, "tx.Upgrade"},
                 {&configurationButton, "tx.Configuration"}};
  for (const auto& b : buttons) {
    const QString text = Text(QString::fromLatin1(b.key));
    b.button->setText(text);
    b.button->caption = text;  // FIND and ALL too: unlike the device list's, they carry captions
    b.button->SetToolTipText(text);
    b.button->update();
  }
  titleLabel.setText(Text(QStringLiteral("tx.DevOperate")));
  if (rootItem) rootItem->setText(0, RootText());
}

pm::LRESULT CDlgOperate::OnLanguageChanged() {
  SetControlTexts();
  for (pm::MessageReceiver* page : std::initializer_list<pm::MessageReceiver*>{
           &passwordPage, &portPage, &upgradePage, &configurationPage, &rebootPage})
    pm::PostPrivateMessage(page, pm::WM_LANGUAGE_CHANGED, 0, 0);
  return 1;
}

void CDlgOperate::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(kPageColour));
  const QRect left = leftPanel.geometry();
  const QRect right = rightPanel.geometry();
  p.fillRect(left, colours::FromColorRef(kPanelColour));
  p.fillRect(right, colours::FromColorRef(kPanelColour));
  const int contentRight = right.x() + right.width() - 10;
  const int contentBottom = right.y() + right.height() - 10;
  p.fillRect(QRect(QPoint(395, right.y() + 30), QPoint(contentRight - 1, contentBottom - 1)),
             colours::FromColorRef(kPageColour));
}

pm::LRESULT CDlgOperate::OnParentResized() {
  content_page::PlaceInParent(*this);
  LayoutPage();
  update();
  for (QWidget* page : std::initializer_list<QWidget*>{&upgradePage, &configurationPage, &passwordPage, &portPage,
                                                       &rebootPage})
    PlaceSubPage(page);
  return 1;
}

// --- sub-pages ----------------------------------------------------------------------

void CDlgOperate::CreateSubPages() {
  passwordPage.Create(this);
  portPage.Create(this);
  configurationPage.Create(this);
  rebootPage.Create(this);
  currentPageId = kPageUpgrade;
  currentPage = &upgradePage;
  upgradePage.Create(this);
  upgradePage.show();
}

void CDlgOperate::ShowSubPage(int pageId) {
  struct Entry {
    int id;
    CBatchSubPage* page;
    CxSkinButton* button;
  };
  const Entry entries[] = {{kPagePassword, &passwordPage, &passwordButton},
                           {kPagePorts, &portPage, &portsButton},
                           {kPageUpgrade, &upgradePage, &upgradeButton},
                           {kPageConfiguration, &configurationPage, &configurationButton},
                           {kPageReboot, &rebootPage, &rebootButton}};
  const Entry* chosen = nullptr;
  for (const Entry& e : entries)
    if (e.id == pageId) chosen = &e;
  if (!chosen) return;
  if (currentPageId != pageId) {
    if (currentPage) currentPage->hide();
    if (!chosen->page->IsCreated()) chosen->page->Create(this);
    currentPageId = pageId;
    currentPage = chosen->page;
    currentPage->show();
  }
  for (const Entry& e : entries) {
    const bool selected = &e == chosen;
    e.button->forcedState = selected ? 1 : 0;
    e.button->textColour = selected ? selectedTextColour : normalTextColour;
  }
  RepaintSubPageButtons();
}

void CDlgOperate::RepaintSubPageButtons() {
  for (CxSkinButton* button : {&rebootButton, &passwordButton, &portsButton, &upgradeButton, &configurationButton})
    button->update();
}

// --- FIND and ALL -------------------------------------------------------------------

void CDlgOperate::OnFind() {
  const QString text = findEdit.text();
  if (text.isEmpty()) return;
  if (IsBatchBusy()) {
    ShowNotice("info.Configuring_wait");
    return;
  }
  if (!host_) return;
  std::string utf8;
  CStringToUtf8(text, utf8);
  DeviceMap& map = host_->DeviceRecords();
  FilterDeviceTree(utf8, map);
  showingAll = static_cast<std::size_t>(DeviceItemCount()) == map.size() ? 1 : 0;
}

void CDlgOperate::OnShowAll() {
  if (showingAll) return;
  if (IsBatchBusy()) {
    ShowNotice("info.Configuring_wait");
    return;
  }
  if (!host_) return;
  RebuildDeviceTree(deviceTree, host_->DeviceRecords());
  showingAll = 1;
}

// --- the tree -----------------------------------------------------------------------

void CDlgOperate::InitDeviceTree() {
  deviceTree.clear();
  rootItem = deviceTree.InsertItem(RootText());
}

DeviceRecord* CDlgOperate::RecordOfItem(const QTreeWidgetItem* item) {
  return item ? static_cast<DeviceRecord*>(item->data(0, kRecordRole).value<void*>()) : nullptr;
}

QString CDlgOperate::DeviceLabel(const DeviceRecord& record) {
  QString label;
  Utf8ToCString(label, record.ip);
  return label;
}

int CDlgOperate::DeviceItemCount() const { return rootItem ? rootItem->childCount() : 0; }

QTreeWidgetItem* CDlgOperate::DeviceItem(int index) const {
  return rootItem && index >= 0 && index < rootItem->childCount() ? rootItem->child(index) : nullptr;
}

namespace {

// Empties the tree and fills it with the root and the records that pass, in
// map order; returns the root.
template <typename Pass>
QTreeWidgetItem* FillTree(CMyTreeCtrl& tree, DeviceMap& map, Pass pass) {
  tree.setUpdatesEnabled(false);
  tree.clear();
  QTreeWidgetItem* root = tree.InsertItem(RootText());
  QList<QTreeWidgetItem*> children;
  for (auto& [mac, record] : map) {
    if (!pass(record)) continue;
    auto* item = new QTreeWidgetItem;
    item->setText(0, CDlgOperate::DeviceLabel(record));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setData(0, kRecordRole, QVariant::fromValue(static_cast<void*>(&record)));
    children.append(item);
  }
  root->addChildren(children);  // in one go: one layout for all items
  tree.expandItem(root);
  tree.setUpdatesEnabled(true);
  return root;
}

}  // namespace

void CDlgOperate::RebuildDeviceTree(CMyTreeCtrl& tree, DeviceMap& map) {
  rootItem = nullptr;
  QTreeWidgetItem* root = FillTree(tree, map, [](const DeviceRecord&) { return true; });
  if (&tree == &deviceTree) rootItem = root;
}

int CDlgOperate::FilterDeviceTree(const std::string& filter, DeviceMap& map) {
  if (map.empty() || !rootItem || filter.empty()) return -1;
  rootItem = nullptr;
  rootItem = FillTree(deviceTree, map,
                      [&](const DeviceRecord& record) { return record.ip.find(filter) != std::string::npos; });
  return 1;
}

void CDlgOperate::OnTreeClick(QTreeWidgetItem* item) {
  if (!rootItem || !item) return;
  const int count = rootItem->childCount();
  if (item == rootItem) {
    // The click is about to toggle the root: every device follows it.
    const Qt::CheckState next = rootItem->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    for (int i = 0; i < count; ++i) rootItem->child(i)->setCheckState(0, next);
    return;
  }
  if (item->parent() != rootItem) return;
  if (item->checkState(0) == Qt::Checked) {
    rootItem->setCheckState(0, Qt::Unchecked);
    return;
  }
  bool othersChecked = true;
  for (int i = 0; i < count && othersChecked; ++i) {
    QTreeWidgetItem* other = rootItem->child(i);
    if (other != item && other->checkState(0) != Qt::Checked) othersChecked = false;
  }
  rootItem->setCheckState(0, othersChecked ? Qt::Checked : Qt::Unchecked);
}

bool CDlgOperate::eventFilter(QObject* watched, QEvent* event) {
  // A click on a check box: the rules run first, then the tree toggles the
  // box itself (on the release, as its delegate does).
  if (watched == deviceTree.viewport()) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      pressedBox_ = mouse->button() == Qt::LeftButton ? deviceTree.CheckBoxItemAt(mouse->position().toPoint()) : nullptr;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      QTreeWidgetItem* hit =
          mouse->button() == Qt::LeftButton ? deviceTree.CheckBoxItemAt(mouse->position().toPoint()) : nullptr;
      if (hit && hit == pressedBox_) OnTreeClick(hit);
      pressedBox_ = nullptr;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CDlgOperate::SetDeviceItemStatus(QTreeWidgetItem* item, const QString& status) {
  const DeviceRecord* record = RecordOfItem(item);
  if (!record) return;
  item->setText(0, DeviceLabel(*record) + QStringLiteral("  ") + status);
  RepaintItemNow(item);
}

void CDlgOperate::RepaintItemNow(QTreeWidgetItem* item) {
  const QRect area = deviceTree.visualItemRect(item);
  if (area.isValid() && deviceTree.isVisible()) deviceTree.viewport()->repaint(area.adjusted(0, 0, deviceTree.viewport()->width(), 0));
}

void CDlgOperate::ResetDeviceItemTexts() {
  for (int i = 0; i < DeviceItemCount(); ++i) {
    QTreeWidgetItem* item = rootItem->child(i);
    DeviceRecord* record = RecordOfItem(item);
    if (!record || !record->batchTouched) continue;
    record->batchTouched = 0;
    item->setText(0, DeviceLabel(*record));
  }
}

pm::LRESULT CDlgOperate::OnSearchStarted() {
  InitDeviceTree();
  return 1;
}

pm::LRESULT CDlgOperate::OnSearchFinished() {
  if (!host_ || !rootItem) return -1;
  RebuildDeviceTree(deviceTree, host_->DeviceRecords());
  return 1;
}

pm::LRESULT CDlgOperate::OnDeviceItemUpdate(pm::WPARAM macText) {
  const auto* mac = reinterpret_cast<const std::string*>(macText);
  if (!rootItem || !mac) return -1;
  for (int i = 0; i < DeviceItemCount(); ++i) {
    QTreeWidgetItem* item = rootItem->child(i);
    const DeviceRecord* record = RecordOfItem(item);
    if (record && record->mac == *mac) {
      item->setText(0, DeviceLabel(*record));
      return 1;
    }
  }
  return -1;
}
