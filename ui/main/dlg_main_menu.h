#pragma once
// The left menu: the narrow column of bitmap buttons on the main window's
// left edge. Three buttons switch the page in view (device list, batch
// operations, capacity calculator), the fourth opens the settings dialog over
// the disabled main window. The button of the page in view is pinned to its
// pressed picture; the buttons draw no caption, their texts are tooltips.

#include <QBrush>
#include <QWidget>

#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"

class CDlgMainMenu : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Page indices kept in the main window's current page index.
  static constexpr int kPageDevInfo = 0;
  static constexpr int kPageOperate = 3;
  static constexpr int kPageCapacity = 14;
  // Templates of the pages, by which a page without a window is created.
  static constexpr int kTemplateDevInfo = 142;
  static constexpr int kTemplateOperate = 141;
  static constexpr int kTemplateCapacity = 226;
  static constexpr int kTemplateSetting = 144;

  enum ControlId { kIdDevInfo = 1110, kIdOperate = 1007, kIdCapacity = 1184, kIdSetting = 1111 };
  static constexpr unsigned kBackgroundColour = 0xF4EAE4;  // 0x00BBGGRR
  static constexpr int kWidth = 60;
  static constexpr int kButtonHeight = 60;

  explicit CDlgMainMenu(QWidget* parent = nullptr);
  ~CDlgMainMenu() override;

  // Makes the menu a hidden child of parent and initialises it.
  bool Create(QWidget* parent);

  // Shows page (index of the table above) in the main window and pins its button.
  void ShowMenuPage(int index, QWidget* page, int templateId);
  // Shows the settings dialog over the disabled main window and pins SETTING.
  void OpenSettingsDialog();
  // The settings dialog was closed: its button is no longer pinned.
  void OnSettingDialogClosed();

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  CxSkinButton devInfoButton;
  CxSkinButton operateButton;
  CxSkinButton capacityButton;
  CxSkinButton settingButton;  // the settings dialog unpins it when it closes

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool OnInitDialog();
  void PlaceInParent();
  void LayoutButtons();
  void LoadSkins();
  void SetControlTexts();

  bool created_ = false;
};
