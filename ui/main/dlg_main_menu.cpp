#include "ui/main/dlg_main_menu.h"

#include <QPainter>

#include "core/language/language.h"
#include "ui/framework/colours.h"
#include "ui/framework/key_filter.h"
#include "ui/main/divarod_dlg.h"

CDlgMainMenu::CDlgMainMenu(QWidget* parent)
    : QWidget(parent), devInfoButton(this), operateButton(this), capacityButton(this), settingButton(this) {
  hide();
  keyfilter::SwallowEnterAndEsc(this);
  devInfoButton.setObjectName(QString::number(kIdDevInfo));
  operateButton.setObjectName(QString::number(kIdOperate));
  capacityButton.setObjectName(QString::number(kIdCapacity));
  settingButton.setObjectName(QString::number(kIdSetting));
  for (CxSkinButton* button : {&devInfoButton, &operateButton, &capacityButton, &settingButton})
    button->setFocusPolicy(Qt::NoFocus);
}

CDlgMainMenu::~CDlgMainMenu() = default;

bool CDlgMainMenu::Create(QWidget* parent) {
  if (created_) return true;
  setParent(parent);
  hide();
  created_ = true;
  return OnInitDialog();
}

bool CDlgMainMenu::OnInitDialog() {
  PlaceInParent();
  LayoutButtons();
  LoadSkins();
  SetControlTexts();
  // The handlers reach the main window's pages at the moment of the click.
  connect(&devInfoButton, &QPushButton::clicked, this, [this] {
    if (MainDialogInstance) ShowMenuPage(kPageDevInfo, &MainDialogInstance->devInfoPage, kTemplateDevInfo);
  });
  connect(&operateButton, &QPushButton::clicked, this, [this] {
    if (MainDialogInstance) ShowMenuPage(kPageOperate, &MainDialogInstance->operatePage, kTemplateOperate);
  });
  connect(&capacityButton, &QPushButton::clicked, this, [this] {
    if (MainDialogInstance) ShowMenuPage(kPageCapacity, &MainDialogInstance->capacityPage, kTemplateCapacity);
  });
  connect(&settingButton, &QPushButton::clicked, this, &CDlgMainMenu::OpenSettingsDialog);
  return true;
}

// Left edge of the main window's client area, from just below the title band
// to one pixel below the client's bottom.
void CDlgMainMenu::PlaceInParent() {
  QWidget* parent = parentWidget();
  if (!parent) return;
  const QRect client = parent->contentsRect();
  setGeometry(client.left(), client.top() + 59, kWidth, client.height() - 58);
}

void CDlgMainMenu::LayoutButtons() {
  const int w = width();
  const int h = height();
  devInfoButton.setGeometry(0, 120, w, kButtonHeight);
  operateButton.setGeometry(0, 180, w, kButtonHeight);
  capacityButton.setGeometry(0, 240, w, kButtonHeight);
  settingButton.setGeometry(0, h - 60, w, kButtonHeight);
}

void CDlgMainMenu::LoadSkins() {
  devInfoButton.SetSkin(184, 185, 184, 184);
  operateButton.SetSkin(175, 176, 175, 175);
  capacityButton.SetSkin(236, 237, 236, 236);
  settingButton.SetSkin(201, 202, 201, 201);
  devInfoButton.forcedState = 1;  // the device list page is in view at start-up
  devInfoButton.update();
}

void CDlgMainMenu::SetControlTexts() {
  const struct {
    CxSkinButton* button;
    const char* textKey;
    const char* tipKey;
  } texts[] = {{&devInfoButton, "menu.Dev_info", "menu.Dev_info"},
               {&operateButton, "menu.Batch_Operate", "menu.Batch_Operate"},
               {&capacityButton, "menu.Capacity_calucator", "menu.Capacity_calucator"},
               {&settingButton, "menu.Setting", "tx.Sys_set"}};
  for (const auto& t : texts) {
    t.button->setText(Text(QString::fromLatin1(t.textKey)));
    t.button->SetToolTipText(Text(QString::fromLatin1(t.tipKey)));
    t.button->update();
  }
}

void CDlgMainMenu::ShowMenuPage(int index, QWidget* page, int templateId) {
  (void)templateId;  // every page's window exists from the main window's start-up
  CDivarodDlg* main = MainDialogInstance;
  if (main && main->currentPageIndex != index) {
    if (main->currentPage) main->currentPage->hide();
    if (page && page->parentWidget() != main) {
      // A page without a window yet: make it a child of the main window.
      page->setParent(main);
    }
    main->currentPageIndex = index;
    main->currentPage = page;
    if (page) page->show();
  }
  const struct {
    CxSkinButton* button;
    int index;
  } pages[] = {{&devInfoButton, kPageDevInfo}, {&operateButton, kPageOperate}, {&capacityButton, kPageCapacity}};
  for (const auto& p : pages) {
    p.button->forcedState = p.index == index ? 1 : 0;
    p.button->update();
  }
}

void CDlgMainMenu::OpenSettingsDialog() {
  CDivarodDlg* main = MainDialogInstance;
  if (!main) return;
  CDlgSetting& setting = main->settingDialog;
  if (setting.owner() != main) setting.Create(main);
  connect(&setting, &CDlgSetting::closed, this, &CDlgMainMenu::OnSettingDialogClosed, Qt::UniqueConnection);
  main->setEnabled(false);
  QRect frame = setting.frameGeometry();
  frame.moveCenter(main->frameGeometry().center());
  setting.move(frame.topLeft());
  setting.show();
  settingButton.forcedState = 1;
  settingButton.update();
}

void CDlgMainMenu::OnSettingDialogClosed() {
  settingButton.forcedState = 0;
  settingButton.update();
}

pm::LRESULT CDlgMainMenu::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  switch (message) {
    case pm::WM_LANGUAGE_CHANGED:
      SetControlTexts();
      return 1;
    case pm::WM_PARENT_RESIZED:
      PlaceInParent();
      LayoutButtons();
      return 1;
    default:
      return 0;
  }
}

void CDlgMainMenu::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(kBackgroundColour));
}

