#include "ui/tools/dlg_setting.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWindow>

#include "ui/framework/colours.h"
#include "ui/framework/dialog_units.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/skins.h"

namespace {

// Template 144 and the places of OK and Cancel are in dialog units of "MS Shell Dlg" 8.
using dialog_units::ShellDlgRect;

constexpr int kPageDataRole = Qt::UserRole;

// Tree rows 5 pixels taller than the platform's.
class TallerRows : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 5);
  }
};

}  // namespace

CDlgSetting::CDlgSetting()
    : client(this),
      titleText(&client),
      logoPicture(&client),
      divider(&client),
      okButton(&client),
      cancelButton(&client),
      closeButton(&client),
      tree(&client) {
  titleText.setObjectName("1127");
  logoPicture.setObjectName("1148");
  divider.setObjectName("1114");
  okButton.setObjectName("1");
  cancelButton.setObjectName("2");
  closeButton.setObjectName("1113");
  tree.setObjectName("1087");
  connect(&okButton, &QPushButton::clicked, this, &CDlgSetting::OnOK);
  connect(&cancelButton, &QPushButton::clicked, this, &CDlgSetting::reject);
  connect(&closeButton, &QPushButton::clicked, this, &CDlgSetting::reject);
  keyfilter::SwallowEnterAndEsc(this);
}

CDlgSetting::~CDlgSetting() = default;

void CDlgSetting::Create(QWidget* owner, const SettingsSource& source, pm::MessageReceiver* mainWindowTarget,
                         pm::MessageReceiver* devicePageTarget) {
  if (rootItem) {  // made once: a second call only changes the owner
    owner_ = owner;
    return;
  }
  owner_ = owner;
  mainWindow = mainWindowTarget;
  devicePage = devicePageTarget;
  pageLogo_ = source.pageLogo;
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  // The template gives the client area; the border lies around it.
  const QSize clientSize = ShellDlgRect(0, 0, 356, 218).size();
  client.setGeometry(QRect(QPoint(1, 1), clientSize));
  resize(clientSize + QSize(2, 2));
  if (owner_) {
    QRect frame = frameGeometry();
    frame.moveCenter(owner_->window()->frameGeometry().center());
    move(frame.topLeft());
  }

  // What the pages stand for, copied from the owner.
  lastLanguage = source.languageIndex;
  languagePage.languageIndex = source.languageIndex;
  languagePage.languages = source.languages;
  // The columns page never sets bit 0: the last applied mask is the one the
  // page would read from its untouched boxes, so an OK without a change
  // sends nothing.
  devInfoPage.boxMask = source.columnMask;
  devInfoPage.showModel = source.showModel;
  lastColumnMask = source.columnMask & 0x3FFEu;
  searchPage.enabled = source.periodicSearch ? 1 : 0;
  searchPage.minutes = source.searchMinutes;
  searchPage.periods = source.searchPeriods;
  lastSearch.enabled = searchPage.enabled;
  lastSearch.minutes = searchPage.minutes;
  aboutPage.appName = source.appName;
  aboutPage.versionText = source.versionText;
  aboutPage.releaseText = source.releaseText;

  Layout();
  languagePage.Create(&client, PageRect());
  searchPage.Create(&client, PageRect());
  devInfoPage.Create(&client, PageRect());
  aboutPage.Create(&client, PageRect());
  currentPage_ = kPageLanguage;
  languagePage.show();

  okButton.SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  cancelButton.SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  closeButton.SetSkin(skins::kCloseNormal, skins::kClosePressed, skins::kCloseHover, skins::kCloseNormal);
  QPalette treeColours = tree.palette();
  treeColours.setColor(QPalette::Base, colours::FromColorRef(colours::kMenu));
  tree.setPalette(treeColours);
  if (!pageLogo_.isNull()) logoPicture.setPixmap(pageLogo_);
  QPalette statics = titleText.palette();
  statics.setColor(QPalette::WindowText, Qt::white);
  titleText.setPalette(statics);

  BuildTree();
  SetTexts();
  hide();
}

QRect CDlgSetting::PageRect() const {
  return QRect(QPoint(kTreeWidth, kBand), QPoint(client.width() - 1, client.height() - kBand - 1));
}

void CDlgSetting::Layout() {
  const int w = pageLogo_.isNull() ? 32 : pageLogo_.width();
  const int h = pageLogo_.isNull() ? 32 : pageLogo_.height();
  logoPicture.setGeometry(10, kBand / 2 - h / 2, w, h);
  titleText.setGeometry(w + 20, kBand / 2 - 10, 300, 20);
  closeButton.setGeometry(client.width() - 24, 6, 20, 20);
  divider.setGeometry(kTreeWidth, 0, 1, client.height());
  divider.hide();
  tree.setGeometry(0, kTreeTop, kTreeWidth, client.height() - kTreeTop);
  okButton.setGeometry(ShellDlgRect(228, 195, 48, 16));
  cancelButton.setGeometry(ShellDlgRect(285, 195, 48, 16));
}

void CDlgSetting::BuildTree() {
  tree.setHeaderHidden(true);
  tree.setFrameShape(QFrame::NoFrame);
  tree.setIconSize(QSize(16, 16));
  tree.setItemDelegate(new TallerRows(&tree));
  tree.setFocusPolicy(Qt::NoFocus);
  // The root stays expanded: no expand button, and a narrow indent leaves the
  // 180 pixels to the page names.
  tree.setRootIsDecorated(false);
  tree.setItemsExpandable(false);
  tree.setIndentation(14);
  rootItem = new QTreeWidgetItem(&tree);  // no picture of its own
  const struct {
    QTreeWidgetItem** item;
    int picture;
    int page;
  } children[] = {{&languageItem, skins::kTreeLanguage, kPageLanguage},
                  {&searchItem, skins::kTreeSearch, kPageSearch},
                  {&devInfoItem, skins::kTreeColumns, kPageDevInfo},
                  {&aboutItem, skins::kTreeAbout, kPageAbout}};
  for (const auto& child : children) {
    *child.item = new QTreeWidgetItem(rootItem);
    (*child.item)->setIcon(0, QIcon(skins::Bitmap(child.picture)));
    (*child.item)->setData(0, kPageDataRole, child.page);
  }
  rootItem->setExpanded(true);
  connect(&tree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item, QTreeWidgetItem*) { OnTreeSelectionChanged(item); });
  tree.setCurrentItem(languageItem);  // the page in view at creation
}

void CDlgSetting::SetTexts() {
  titleText.setText(Text(QStringLiteral("tx.Sys_set")));
  okButton.setText(Text(QStringLiteral("tx.OK")));
  okButton.caption = okButton.text();
  cancelButton.setText(Text(QStringLiteral("tx.Cancel")));
  cancelButton.caption = cancelButton.text();
  if (!rootItem) return;
  rootItem->setText(0, Text(QStringLiteral("tx.Sys_set")));
  languageItem->setText(0, Text(QStringLiteral("tx.Set_lang")));
  devInfoItem->setText(0, Text(QStringLiteral("tx.Set_devinfo_option")));
  searchItem->setText(0, Text(QStringLiteral("tx.Set_search_param")));
  aboutItem->setText(0, Text(QStringLiteral("tx.About")));
}

CSettingsPage* CDlgSetting::Page(int pageId) {
  switch (pageId) {
    case kPageLanguage:
      return &languagePage;
    case kPageSearch:
      return &searchPage;
    case kPageDevInfo:
      return &devInfoPage;
    case kPageAbout:
      return &aboutPage;
    default:
      return nullptr;
  }
}

// The root item, and anything that is no page, leaves the page in view.
void CDlgSetting::OnTreeSelectionChanged(QTreeWidgetItem* item) {
  if (!item || !item->parent()) return;
  const int pageId = item->data(0, kPageDataRole).toInt();
  CSettingsPage* next = Page(pageId);
  if (!next || pageId == currentPage_) return;
  if (CSettingsPage* showing = Page(currentPage_)) showing->hide();
  currentPage_ = pageId;
  next->show();
}

void CDlgSetting::HideAndGiveBack() {
  if (owner_) owner_->setEnabled(true);
  hide();
  emit closed();
}

void CDlgSetting::OnOK() {
  HideAndGiveBack();
  switch (currentPage_) {
    case kPageLanguage: {
      const int index = languagePage.SelectedLanguage();
      if (index >= 0 && index < kLanguageCount && index != lastLanguage) {
        lastLanguage = index;
        pm::SendPrivateMessage(mainWindow, pm::WM_LANGUAGE_CHANGED, static_cast<pm::WPARAM>(index));
      } else {
        languagePage.languageIndex = lastLanguage;
      }
      break;
    }
    case kPageDevInfo: {
      const uint32_t mask = devInfoPage.ReadMask();
      if (mask != lastColumnMask) {
        lastColumnMask = mask;
        pm::SendPrivateMessage(mainWindow, pm::WM_DEVINFO_MASK_CHANGED, mask);
        pm::SendPrivateMessage(devicePage, pm::WM_DEVINFO_MASK_CHANGED, mask);
      }
      break;
    }
    case kPageSearch:
      searchPage.ReadControls();
      if (searchPage.enabled != lastSearch.enabled || searchPage.minutes != lastSearch.minutes) {
        lastSearch.enabled = searchPage.enabled;
        lastSearch.minutes = searchPage.minutes;
        pm::SendPrivateMessage(mainWindow, pm::WM_SEARCH_SETTINGS_CHANGED, reinterpret_cast<pm::WPARAM>(&lastSearch));
      }
      break;
    default:
      break;
  }
}

void CDlgSetting::reject() { HideAndGiveBack(); }

pm::LRESULT CDlgSetting::OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) {
  if (message != pm::WM_LANGUAGE_CHANGED) return 0;
  SetTexts();
  for (CSettingsPage* page : {static_cast<CSettingsPage*>(&languagePage), static_cast<CSettingsPage*>(&searchPage),
                              static_cast<CSettingsPage*>(&devInfoPage), static_cast<CSettingsPage*>(&aboutPage)})
    pm::PostPrivateMessage(page, message, wParam, lParam);
  return 1;
}

// Kept above its owner by the platform, as an owned popup is.
void CDlgSetting::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (owner_ && owner_->window()->windowHandle() && windowHandle())
    windowHandle()->setTransientParent(owner_->window()->windowHandle());
}

// The border: what of the window the client area leaves.
void CDlgSetting::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(colours::kBorder));
}

void CDlgSetting::ClientArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(colours::kBand));
  p.fillRect(QRect(0, kBand, width(), height() - kBand), Qt::white);
  p.fillRect(QRect(0, kBand, kTreeWidth, kTreeTop - kBand), colours::FromColorRef(colours::kMenu));
}
