#pragma once
// What the five sub-pages of the batch-operation page share: they live as
// children of the page, fill its sub-page area, paint white, re-caption on a
// language change, refuse while a batch run is busy, ask before they send,
// and open their file dialogs through the modal seam.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <string>

#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"

class CDlgOperate;
class QLineEdit;

class CBatchSubPage : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Message-box kinds.
  static constexpr int kNotice = 0x40;
  static constexpr int kWarning = 0x30;
  static constexpr int kError = 0x10;
  static constexpr int kQuestion = 0x20;

  // swallowKeys: Enter and Esc do nothing on the page (all but the reboot page).
  explicit CBatchSubPage(bool swallowKeys);
  ~CBatchSubPage() override;

  // Creates the window hidden as a child of page and initialises it:
  // placement on the page's sub-page area, skins, layout, texts.
  void Create(CDlgOperate* page);
  bool IsCreated() const { return created_; }

  // The batch-operation page this sub-page belongs to; null when its parent is none.
  CDlgOperate* ParentPage() const;

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  virtual void LayoutControls() = 0;
  virtual void SetTexts() = 0;

  // A button's text: window text, caption and tooltip, then a repaint.
  static void SetButtonText(CxSkinButton& button, const QString& text);
  // A label's text; a text too wide for the label (long translations) gets a
  // smaller font, down to a readable size, then is elided with the whole text
  // as tooltip.
  static void SetLabelText(QLabel& label, const QString& text);

  // The browse dialogs' start folder: the path up to its last "/" when the
  // path has one after its first character; empty (the dialog's default) otherwise.
  static QString StartFolderFor(const QString& path);
  // "desc|pattern|desc|pattern|" (entries separated by "|", an empty entry
  // ends the list) in the file dialog's form "desc (pattern);;...".
  static QString DialogFilter(const QString& pipeFilter);

 protected:
  // Runs after the common initialisation (CDlgModifyPort reads its default ports).
  virtual void OnInitialised() {}
  void paintEvent(QPaintEvent* event) override;

  // A CDlgTip titled "msg.Msg" with the text of key; kQuestion adds Cancel.
  // Returns 1 for OK.
  static int ShowBox(const char* key, int kind);
  // True, after the notice "info.Configuring_wait", while a batch run is busy.
  bool RefuseWhileBusy() const;
  // The open-file dialog through the modal seam; the chosen path, or empty
  // when cancelled.
  QString BrowseForFile(const QString& pipeFilter, const QString& currentPath);
  // Sends message to the page; nothing when there is no page.
  void SendToPage(unsigned message, pm::WPARAM wParam = 0, pm::LPARAM lParam = 0);

  // The file row of the upgrade and configuration pages: a label, the chosen
  // path (read-only, held to the UTF-8 limit) and a "..." browse button.
  void SetUpPathEdit(QLineEdit& pathEdit);
  static void LayoutFileRow(QLabel& label, QLineEdit& pathEdit, CxSkinButton& browseButton);
  static void SetBrowseCaption(CxSkinButton& browseButton);

 private:
  bool created_ = false;
};
