// What the five sub-pages of the batch-operation page share.
#include "ui/operations/batch_sub_page.h"

#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPainter>

#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"
#include "ui/filters/edit_filters.h"
#include "ui/framework/colours.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/modal_seam.h"
#include "ui/operations/dlg_operate.h"

CBatchSubPage::CBatchSubPage(bool swallowKeys) {
  hide();
  // The batch page swallows Enter and Esc for all its children; the reboot
  // page takes them back.
  if (!swallowKeys) keyfilter::KeepEnterAndEsc(this);
}

CBatchSubPage::~CBatchSubPage() = default;

void CBatchSubPage::Create(CDlgOperate* page) {
  if (created_) return;
  created_ = true;
  setParent(page);
  hide();
  if (page) page->PlaceSubPage(this);
  for (CxSkinButton* button : findChildren<CxSkinButton*>(Qt::FindDirectChildrenOnly))
    button->SetSkin(179, 178, 180, 177);
  LayoutControls();
  SetTexts();
  OnInitialised();
}

CDlgOperate* CBatchSubPage::ParentPage() const { return qobject_cast<CDlgOperate*>(parentWidget()); }

pm::LRESULT CBatchSubPage::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  if (message != pm::WM_LANGUAGE_CHANGED) return 0;
  SetTexts();
  return 1;
}

void CBatchSubPage::SetButtonText(CxSkinButton& button, const QString& text) {
  button.setText(text);
  button.caption = text;
  button.SetToolTipText(text);
  button.update();
}

void CBatchSubPage::SetLabelText(QLabel& label, const QString& text) {
  constexpr int kSmallestPixels = 10;
  QFont font = label.parentWidget() ? label.parentWidget()->font() : label.font();
  if (font.pixelSize() <= 0) font.setPixelSize(QFontInfo(font).pixelSize());
  const QRect room(0, 0, label.width() - 2, label.height());
  label.setToolTip(QString());
  // One line at the page's size; else two lines, then a smaller font.
  for (int pixels = font.pixelSize(); pixels >= kSmallestPixels; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    const bool oneLine = metrics.horizontalAdvance(text) <= room.width();
    const bool wrapped = !oneLine && metrics.boundingRect(room, Qt::TextWordWrap, text).height() <= room.height() &&
                         metrics.boundingRect(room, Qt::TextWordWrap, text).width() <= room.width();
    if (oneLine || wrapped) {
      label.setFont(font);
      label.setWordWrap(wrapped);
      label.setText(text);
      return;
    }
  }
  const QFontMetrics metrics(font);
  label.setFont(font);
  label.setWordWrap(false);
  label.setText(metrics.elidedText(text, Qt::ElideRight, room.width()));
  label.setToolTip(text);
}

QString CBatchSubPage::StartFolderFor(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash > 0 ? path.left(slash) : QString();
}

QString CBatchSubPage::DialogFilter(const QString& pipeFilter) {
  const QStringList parts = pipeFilter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString& pattern = parts[i + 1];
    if (description.isEmpty()) break;
    // The dialog takes its patterns from the parentheses of the description.
    entries << (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))
                    ? description
                    : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
  }
  return entries.join(QStringLiteral(";;"));
}

void CBatchSubPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(colours::kWhite));
}

int CBatchSubPage::ShowBox(const char* key, int kind) {
  return ShowTipBox(Text(QString::fromLatin1(key)), Text(QStringLiteral("msg.Msg")), kind == kQuestion, true, kind);
}

bool CBatchSubPage::RefuseWhileBusy() const {
  const CDlgOperate* page = ParentPage();
  if (!page || !page->IsBatchBusy()) return false;
  ShowBox("info.Configuring_wait", kNotice);
  return true;
}

QString CBatchSubPage::BrowseForFile(const QString& pipeFilter, const QString& currentPath) {
  const QString startFolder = StartFolderFor(currentPath);
  QFileDialog dialog(this, QString(), startFolder, DialogFilter(pipeFilter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  modal::ModalRequest request;
  request.kind = QStringLiteral("file-open");
  request.text = startFolder;
  request.defaultResult = QDialog::Rejected;
  request.dialog = &dialog;
  if (modal::Exec(dialog, request) != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

void CBatchSubPage::SendToPage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) {
  if (CDlgOperate* page = ParentPage()) pm::SendPrivateMessage(page, message, wParam, lParam);
}

void CBatchSubPage::SetUpPathEdit(QLineEdit& pathEdit) {
  pathEdit.setReadOnly(true);
  connect(&pathEdit, &QLineEdit::textChanged, this, [&pathEdit] { LimitEditUtf8(&pathEdit); });
}

void CBatchSubPage::LayoutFileRow(QLabel& label, QLineEdit& pathEdit, CxSkinButton& browseButton) {
  label.setGeometry(10, 10, 110, 28);
  pathEdit.setGeometry(130, 10, 180, 28);
  browseButton.setGeometry(320, 10, 28, 28);
}

void CBatchSubPage::SetBrowseCaption(CxSkinButton& browseButton) {
  browseButton.setText(QStringLiteral("..."));
  browseButton.caption = QStringLiteral("...");
  browseButton.update();
}
