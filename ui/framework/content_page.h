#pragma once
// The main window's pages (device list, batch operations, capacity
// calculator) fill its client area right of the menu column and below the
// title band: left 60, top 60, to the client's right and bottom.

#include <QWidget>

namespace content_page {

// Places page in its parent's page area; a page without a parent stays put.
inline void PlaceInParent(QWidget& page) {
  QWidget* parent = page.parentWidget();
  if (!parent) return;
  const QRect client = parent->contentsRect();
  page.setGeometry(client.left() + 60, client.top() + 60, client.width() - 60, client.height() - 60);
}

}  // namespace content_page
