#pragma once
// An IPv4 address field: four octet boxes separated by dots, as the desktop's
// address controls have. Each box takes only digits up to 255; "." or a third
// digit moves on to the next box (a "." right after that third digit stays
// in the box moved to, so a whole address can be typed), Backspace in an empty box moves back, and a
// dotted address pasted or typed into any box fills all four. A blank box
// reads as 0.

#include <QFrame>
#include <array>
#include <cstdint>

class QLineEdit;

class CIpAddressField : public QFrame {
  Q_OBJECT
 public:
  explicit CIpAddressField(QWidget* parent = nullptr);

  // Dotted text of the four boxes, blank boxes as 0 ("0.0.0.0" when blank).
  QString text() const;
  // A dotted address fills the boxes; anything else (the empty text included)
  // blanks them.
  void setText(const QString& dotted);
  // The address with the first octet most significant; blank boxes read 0.
  uint32_t address() const;
  bool isBlank() const;
  void clear();

  QLineEdit* octetBox(int index) const { return boxes_[index]; }

 signals:
  // Any box changed, by the user or by setText.
  void changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void OnBoxEdited(int index);
  bool SpreadDotted(const QString& dotted);

  std::array<QLineEdit*, 4> boxes_{};
  bool spreading_ = false;
  // The box a third digit has just moved the focus to, until the next key.
  int advancedInto_ = -1;
};
