#pragma once
// The settings dialog: an owned popup with a tree of four pages on the left
// (language, search parameters, device-list columns, about) and OK, Cancel
// and a close button. The main window creates it once, hidden; the left menu
// shows it over the disabled main window. OK applies the page showing, and
// only a value that differs from the one last applied, by a message sent to
// the main window (which stores it in Config.ini). Cancel, the close button
// and the platform's close only hide it; Enter and Esc do nothing. A thin
// border frames its client area, on which every control and page lies.

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QTreeWidget>
#include <cstdint>
#include <map>
#include <vector>

#include "core/language/language.h"
#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"
#include "ui/framework/title_band.h"
#include "ui/tools/dlg_set_about.h"
#include "ui/tools/dlg_set_dev_info.h"
#include "ui/tools/dlg_set_language.h"
#include "ui/tools/dlg_set_search_param.h"
#include "ui/tools/search_settings_payload.h"

// What the dialog copies from the main window when it is created.
struct SettingsSource {
  int languageIndex = 0;                    // language table row in use
  std::map<int, LanguageEntry> languages;   // the configured language list
  uint32_t columnMask = CDlgSetDevInfo::kDefaultMask;
  bool showModel = true;
  QString appName;
  QString versionText;
  QString releaseText;
  bool periodicSearch = false;
  int searchMinutes = 0;
  std::vector<int> searchPeriods;
  QPixmap pageLogo;                         // null: the logo area stays empty
};

class CDlgSetting : public QDialog, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Page ids: the tree items' data and the value of currentPage.
  enum PageId { kPageLanguage = 5, kPageDevInfo = 6, kPageAbout = 12, kPageSearch = 13 };
  static constexpr int kBand = 50;       // client rows of the dark top band that drags the window
  static constexpr int kTreeWidth = 180;
  static constexpr int kTreeTop = 70;

  CDlgSetting();
  ~CDlgSetting() override;

  // Creates the window hidden, owned by owner, with the owner's settings.
  // The window is owned, not a child: the owner is disabled while it shows,
  // and a child would be disabled with it. mainWindow gets the changes that
  // OK applies; devicePage gets the column mask after it. The window is made
  // once; a later call only changes the owner.
  void Create(QWidget* owner, const SettingsSource& source = {}, pm::MessageReceiver* mainWindow = nullptr,
              pm::MessageReceiver* devicePage = nullptr);
  QWidget* owner() const { return owner_; }

  // WM_LANGUAGE_CHANGED: the dialog's texts are read again and the message
  // is posted on to the four pages.
  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  void OnOK();
  // Cancel, the close button and the platform's close: nothing is applied.
  void reject() override;

  // The rectangle of the client area the pages lie on.
  QRect PageRect() const;
  CSettingsPage* Page(int pageId);
  int CurrentPage() const { return currentPage_; }

  // Where OK's messages go; tests point them at recorders.
  pm::MessageReceiver* mainWindow = nullptr;
  pm::MessageReceiver* devicePage = nullptr;

  int lastLanguage = 0;           // language table row last applied
  uint32_t lastColumnMask = 0;    // column mask last applied
  SearchSettingsPayload lastSearch;  // search settings last applied; sent by address

  // The client area, inside the 1-pixel border: the dark band, the white
  // body and the light strip above the tree.
  class ClientArea : public QWidget {
   public:
    using QWidget::QWidget;

   protected:
    void paintEvent(QPaintEvent* event) override;
  };
  ClientArea client;

  QLabel titleText;   // 1127
  QLabel logoPicture; // 1148
  QLabel divider;     // 1114, hidden
  CxSkinButton okButton;
  CxSkinButton cancelButton;
  CxSkinButton closeButton;  // 1113
  QTreeWidget tree;          // 1087
  QTreeWidgetItem* rootItem = nullptr;
  QTreeWidgetItem* languageItem = nullptr;
  QTreeWidgetItem* searchItem = nullptr;
  QTreeWidgetItem* devInfoItem = nullptr;
  QTreeWidgetItem* aboutItem = nullptr;

  CDlgSetLanguage languagePage;
  CDlgSetSearchParam searchPage;
  CDlgSetDevInfo devInfoPage;
  CDlgSetAbout aboutPage;

 signals:
  // The window was hidden by OK, Cancel or close; the left menu unpins its
  // settings button.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Layout();
  void SetTexts();
  void BuildTree();
  void OnTreeSelectionChanged(QTreeWidgetItem* item);
  void HideAndGiveBack();

  QWidget* owner_ = nullptr;
  QPixmap pageLogo_;
  int currentPage_ = kPageLanguage;
  titleband::TitleBand titleBand_{this, kBand + 1};  // the band lies below the border
};
