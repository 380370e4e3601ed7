#pragma once
// CxSkinButton: the push button of every window. It draws one of four skin
// pictures (normal, pressed, hover, disabled) stretched to its size while
// keeping the pictures' 10-pixel ends, with its own caption on top; follows
// the mouse for the hover picture (a modal window over its window ends the
// hover); can be pinned to one picture by its owner
// (forcedState); and carries a tooltip that shows 600 ms after the mouse
// comes to rest, filled by the button itself when the caption does not fit.

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>

class CxSkinButton : public QPushButton {
  Q_OBJECT
 public:
  enum Picture { kNormal = 0, kPressed = 1, kHover = 2, kDisabled = 3 };
  static constexpr int kEndWidth = 10;         // picture columns kept unstretched at each end
  static constexpr int kToolTipDelayMs = 600;  // rest time before the tooltip shows

  explicit CxSkinButton(QWidget* parent = nullptr);
  ~CxSkinButton() override;

  // Loads the four pictures by skin resource id, in the order normal,
  // pressed, hover, disabled (an unknown id leaves that picture absent),
  // and gives the button the hand cursor. The five further arguments of
  // the original call are accepted and ignored.
  void SetSkin(int normal, int pressed, int hover, int disabled, int = 0, int = 0, int = 0, int = 0, int = 0);
  // The same with pictures at hand (tests, pictures made at run time).
  void SetSkinPictures(const QPixmap& normal, const QPixmap& pressed, const QPixmap& hover, const QPixmap& disabled);

  // Sets the tooltip's text (the first call creates the tooltip).
  void SetToolTipText(const QString& text);
  QString ToolTipText() const { return toolTipText_; }
  bool HasToolTip() const { return toolTipCreated_; }

  // false: the platform draws the button; it keeps only the mouse, cursor
  // and tooltip behaviour (check-box style buttons).
  void SetOwnerDrawn(bool ownerDrawn);
  bool OwnerDrawn() const { return ownerDrawn_; }

  // For the search worker, which pins, enables and redraws SEARCH from its
  // own thread: the widget work is queued to the UI thread (at once when
  // called there).
  void Redraw();
  void SetEnabledFromAnyThread(bool enabled);

  const QPixmap& SkinPicture(Picture which) const { return pictures_[which]; }
  // The picture the next paint shows (kDisabled also when none is loaded).
  Picture ChosenPicture() const;
  bool Over() const { return over_; }
  bool Down() const { return down_; }

  // Written directly by owners, who then call update(). The search worker
  // writes forcedState from its own thread, hence atomic.
  QString caption;                  // drawn on the button; not the window text
  std::atomic<int> forcedState{0};  // 0 follow the state, 1 pressed, 2 hover, other disabled
  QColor textColour;                // caption colour, the palette's button text by default

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void DrawPicture(QPainter& painter, const QPixmap& picture) const;
  void EndHover();  // the mouse left, or a modal window took it
  void RestartToolTipTimer(const QPoint& globalPos);
  void ShowToolTipNow();
  void HideToolTip();

  std::array<QPixmap, 4> pictures_;
  bool ownerDrawn_ = true;
  bool over_ = false;
  bool down_ = false;
  bool toolTipCreated_ = false;
  QString toolTipText_;
  bool toolTipFromCaption_ = false;  // the tooltip holds a caption that did not fit
  QTimer toolTipTimer_;
  QPoint restPos_;
};
