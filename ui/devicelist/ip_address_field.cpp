#include "ui/devicelist/ip_address_field.h"

#include <algorithm>

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

// Digits only, at most three; the value is clamped to 255 after each edit.
const QRegularExpression kOctet(QStringLiteral("[0-9]{0,3}"));
const QRegularExpression kDotted(QStringLiteral("^\\s*(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\s*$"));

}  // namespace

CIpAddressField::CIpAddressField(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  setStyleSheet(QStringLiteral(
      "CIpAddressField { background: white; border: 1px solid #a0a0a0; }"
      "CIpAddressField:disabled { background: #f0f0f0; }"
      "QLineEdit { border: none; background: transparent; }"
      "QLabel { background: transparent; }"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 0, 2, 0);
  layout->setSpacing(0);
  for (int i = 0; i < 4; ++i) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("octet%1").arg(i));
    box->setAlignment(Qt::AlignCenter);
    box->setFrame(false);
    box->setMaxLength(3);
    box->setValidator(new QRegularExpressionValidator(kOctet, box));
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, i] { OnBoxEdited(i); });
    connect(box, &QLineEdit::textChanged, this, [this] {
      if (!spreading_) emit changed();
    });
    boxes_[i] = box;
    layout->addWidget(box, 1);
    if (i < 3) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setAlignment(Qt::AlignCenter);
      layout->addWidget(dot);
    }
  }
  setFocusProxy(boxes_[0]);
}

QString CIpAddressField::text() const {
  QStringList parts;
  for (QLineEdit* box : boxes_) parts << QString::number(box->text().toInt());
  return parts.join(QLatin1Char('.'));
}

void CIpAddressField::setText(const QString& dotted) {
  if (!SpreadDotted(dotted)) clear();
}

uint32_t CIpAddressField::address() const {
  uint32_t value = 0;
  for (QLineEdit* box : boxes_) value = (value << 8) | static_cast<uint32_t>(box->text().toInt() & 0xFF);
  return value;
}

bool CIpAddressField::isBlank() const {
  for (QLineEdit* box : boxes_)
    if (!box->text().isEmpty()) return false;
  return true;
}

void CIpAddressField::clear() {
  const bool wasBlank = isBlank();
  spreading_ = true;
  for (QLineEdit* box : boxes_) box->clear();
  spreading_ = false;
  if (!wasBlank) emit changed();
}

bool CIpAddressField::SpreadDotted(const QString& dotted) {
  const QRegularExpressionMatch m = kDotted.match(dotted);
  if (!m.hasMatch()) return false;
  for (int i = 1; i <= 4; ++i)
    if (m.captured(i).toInt() > 255) return false;
  spreading_ = true;
  for (int i = 0; i < 4; ++i) boxes_[i]->setText(QString::number(m.captured(i + 1).toInt()));
  spreading_ = false;
  emit changed();
  return true;
}

void CIpAddressField::OnBoxEdited(int index) {
  QLineEdit* box = boxes_[index];
  const int value = box->text().toInt();
  if (value > 255) box->setText(QStringLiteral("255"));
  if (box->text().size() == 3 && box->cursorPosition() == 3 && index < 3) {
    advancedInto_ = index + 1;
    boxes_[index + 1]->setFocus();
    boxes_[index + 1]->selectAll();
  }
}

bool CIpAddressField::eventFilter(QObject* watched, QEvent* event) {
  const int index = static_cast<int>(std::find(boxes_.begin(), boxes_.end(), watched) - boxes_.begin());
  if (index < 4 && event->type() == QEvent::MouseButtonPress) advancedInto_ = -1;
  if (index >= 4 || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  QLineEdit* box = boxes_[index];
  // A "." typed right after a third digit moved on belongs to that octet: it
  // closes it, and must not skip the box the field has just moved to.
  const bool justAdvanced = advancedInto_ == index;
  advancedInto_ = -1;
  // A whole dotted address typed or pasted at once fills every box.
  if (key->matches(QKeySequence::Paste) && SpreadDotted(QGuiApplication::clipboard()->text())) return true;
  if (key->text() == QLatin1String(".") || key->key() == Qt::Key_Space) {
    if (index < 3 && !box->text().isEmpty() && !justAdvanced) {
      boxes_[index + 1]->setFocus();
      boxes_[index + 1]->selectAll();
    }
    return true;
  }
  if (key->key() == Qt::Key_Backspace && box->cursorPosition() == 0 && !box->hasSelectedText() && index > 0) {
    boxes_[index - 1]->setFocus();
    boxes_[index - 1]->setCursorPosition(boxes_[index - 1]->text().size());
    return true;
  }
  if (key->key() == Qt::Key_Right && box->cursorPosition() == box->text().size() && index < 3) {
    boxes_[index + 1]->setFocus();
    boxes_[index + 1]->setCursorPosition(0);
    return true;
  }
  if (key->key() == Qt::Key_Left && box->cursorPosition() == 0 && index > 0) {
    boxes_[index - 1]->setFocus();
    boxes_[index - 1]->setCursorPosition(boxes_[index - 1]->text().size());
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

void CIpAddressField::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QFrame::changeEvent(event);
}
