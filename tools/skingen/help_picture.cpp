#include "tools/skingen/help_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include "ui/framework/colours.h"
#include "ui/framework/skins.h"

namespace skingen {
namespace {

const QColor kBand = colours::FromColorRef(colours::kBand);
const QColor kPanel = colours::FromColorRef(colours::kPanel);
const QColor kMenu = colours::FromColorRef(colours::kMenu);
const QColor kEvenRow = colours::FromColorRef(0xD1CDCB);
const QColor kOddRow = colours::FromColorRef(0xC0BAB4);
const QColor kSelectedRow = colours::FromColorRef(0xFFB470);

QFont Font(int pixels, int weight = 400) { return skins::PixelFont(QStringLiteral("Tahoma"), pixels, weight); }

void DrawSkin(QPainter& p, int id, const QRectF& target) {
  p.drawImage(target, skins::Picture(id));
}

// A numbered marker: the legend below explains each number.
void Marker(QPainter& p, QPointF centre, int number) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(QColor(0xE8, 0x5D, 0x2C));
  p.drawEllipse(centre, 9, 9);
  p.setFont(Font(11, 700));
  p.setPen(Qt::white);
  p.drawText(QRectF(centre.x() - 9, centre.y() - 9, 18, 18), Qt::AlignCenter, QString::number(number));
  p.restore();
}

// A small made-up QR pattern with its three finder squares.
void FakeQr(QPainter& p, const QRect& r) {
  p.fillRect(r, Qt::white);
  const int n = 21, cell = r.width() / n;
  QRandomGenerator rng(20261210);  // the same picture at every build
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      if (rng.bounded(2)) p.fillRect(r.x() + x * cell, r.y() + y * cell, cell, cell, Qt::black);
  auto finder = [&](int cx, int cy) {
    const QRect outer(r.x() + cx * cell, r.y() + cy * cell, 7 * cell, 7 * cell);
    p.fillRect(outer, Qt::black);
    p.fillRect(outer.adjusted(cell, cell, -cell, -cell), Qt::white);
    p.fillRect(outer.adjusted(2 * cell, 2 * cell, -2 * cell, -2 * cell), Qt::black);
  };
  finder(0, 0);
  finder(n - 7, 0);
  finder(0, n - 7);
}

// The main window in miniature, at (x, y), w x h.
void MainWindowMiniature(QPainter& p, const QRect& area) {
  const int x = area.x(), y = area.y(), w = area.width(), h = area.height();
  const int band = 34, menu = 44;
  p.fillRect(area, Qt::white);
  // Title band: logo, title, HELP, MIN, MAX, Quit.
  p.fillRect(QRect(x, y, w, band), kBand);
  p.drawImage(QRect(x + 8, y + 7, 20, 20), skins::Emblem(20));
  p.setFont(Font(13, 600));
  p.setPen(Qt::white);
  p.drawText(QRect(x + 36, y, 200, band), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Divarod Device Manager"));
  int bx = x + w - 22;
  for (int id : {skins::kCloseNormal, skins::kMaxNormal, skins::kMinNormal, skins::kHelpNormal}) {
    DrawSkin(p, id, QRectF(bx, y + 10, 14, 14));
    bx -= 20;
  }
  // Left menu.
  p.fillRect(QRect(x, y + band, menu, h - band), kMenu);
  DrawSkin(p, skins::kMenuDevInfoPressed, QRectF(x, y + band + 40, menu, menu));
  DrawSkin(p, skins::kMenuOperateNormal, QRectF(x, y + band + 40 + menu, menu, menu));
  DrawSkin(p, skins::kMenuCapacityNormal, QRectF(x, y + band + 40 + 2 * menu, menu, menu));
  DrawSkin(p, skins::kMenuSettingNormal, QRectF(x, y + h - menu, menu, menu));
  // Tool bar of the device list page.
  const int tx = x + menu + 8, ty = y + band + 8, tool = 20;
  p.setPen(colours::kLine);
  p.setBrush(Qt::white);
  p.drawRect(QRect(tx, ty, 100, tool - 1));
  p.setFont(Font(10));
  p.setPen(colours::kInkMuted);
  p.drawText(QRect(tx + 5, ty, 95, tool), Qt::AlignVCenter, QStringLiteral("192.168.1"));
  DrawSkin(p, skins::kFindNormal, QRectF(tx + 106, ty, tool, tool));
  DrawSkin(p, skins::kAllNormal, QRectF(tx + 130, ty, tool, tool));
  p.fillRect(QRect(tx + 155, ty, 1, tool), Qt::black);
  DrawSkin(p, skins::kNetNormal, QRectF(tx + 161, ty, tool, tool));
  p.fillRect(QRect(tx + 186, ty, 1, tool), Qt::black);
  DrawSkin(p, skins::kExportNormal, QRectF(tx + 192, ty, tool, tool));
  // SEARCH, drawn as the button shows it: its pressed picture, white caption.
  const QRect search(tx + 236, ty, 66, tool);
  p.drawImage(search, skins::Picture(skins::kButtonPressed));
  p.setFont(Font(11, 600));
  p.setPen(Qt::white);
  p.drawText(search, Qt::AlignCenter, QStringLiteral("Search"));
  p.setPen(colours::kInk);
  p.setFont(Font(10));
  p.drawText(QRect(tx + 310, ty, 80, tool), Qt::AlignVCenter, QStringLiteral("Devices:"));
  p.setFont(Font(18));
  p.drawText(QRect(tx + 356, ty - 2, 40, tool + 4), Qt::AlignVCenter, QStringLiteral("6"));
  FakeQr(p, QRect(x + w - 50, y + band + 4, 42, 42));

  // The device list.
  const QRect list(tx, y + band + 52, w - menu - 16, h - band - 60);
  const int headerH = 16, rowH = 15;
  const struct {
    const char* title;
    int width;
  } columns[] = {{"No.", 26}, {"IP", 92}, {"MAC", 112}, {"Type", 46}, {"Version", 80}, {"HTTP", 40}, {"Login state", 72}};
  const char* rows[][7] = {
      {"1", "192.168.1.20", "00:12:41:0A:33:01", "IPC", "V5.2.1", "80", "Logged in"},
      {"2", "192.168.1.21", "00:12:41:0A:33:02", "IPC", "V5.2.1", "80", "Not logged in"},
      {"3", "192.168.1.30", "00:12:41:0B:10:7C", "NVR", "V4.0.8", "80", "Not logged in"},
      {"4", "192.168.1.31", "00:12:41:0B:10:7D", "NVR", "V4.0.8", "8080", "Not logged in"},
      {"5", "192.168.1.64", "00:12:41:0C:01:A0", "IPC", "V5.1.9", "80", "Not logged in"},
      {"6", "192.168.1.65", "00:12:41:0C:01:A1", "IPC", "V5.1.9", "80", "Not logged in"},
  };
  p.fillRect(QRect(list.x(), list.y(), list.width(), headerH), kPanel);
  p.setFont(Font(9));
  int cx = list.x();
  for (const auto& c : columns) {
    p.setPen(colours::kInk);
    p.drawText(QRect(cx, list.y(), c.width, headerH), Qt::AlignCenter, QString::fromLatin1(c.title));
    p.setPen(colours::kLine);
    p.drawLine(cx + c.width - 1, list.y(), cx + c.width - 1, list.y() + headerH - 1);
    cx += c.width;
  }
  for (int r = 0; r < 6; ++r) {
    const int ry = list.y() + headerH + r * rowH;
    if (ry + rowH > list.bottom()) break;
    p.fillRect(QRect(list.x(), ry, list.width(), rowH), r == 0 ? kSelectedRow : (r % 2 == 0 ? kEvenRow : kOddRow));
    int colX = list.x();
    for (int c = 0; c < 7; ++c) {
      p.setPen(Qt::black);
      p.drawText(QRect(colX + 3, ry, columns[c].width - 5, rowH), Qt::AlignVCenter | Qt::AlignLeft,
                 QString::fromLatin1(rows[r][c]));
      p.setPen(Qt::white);
      p.drawLine(colX + columns[c].width - 1, ry, colX + columns[c].width - 1, ry + rowH - 1);
      colX += columns[c].width;
    }
    p.setPen(Qt::white);
    p.drawLine(list.x(), ry + rowH - 1, list.right(), ry + rowH - 1);
  }
  p.setPen(colours::kLine);
  p.setBrush(Qt::NoBrush);
  p.drawRect(list.adjusted(0, 0, -1, -1));

  // Where each number of the legend points.
  Marker(p, QPointF(x + 300, y + band / 2), 1);
  Marker(p, QPointF(x + menu - 4, y + band + 44), 2);
  Marker(p, QPointF(x + menu - 4, y + band + 44 + menu), 3);
  Marker(p, QPointF(x + menu - 4, y + band + 44 + 2 * menu), 4);
  Marker(p, QPointF(x + menu - 4, y + h - menu + 4), 5);
  Marker(p, QPointF(tx + 128, ty + tool + 8), 6);
  Marker(p, QPointF(tx + 186, ty + tool + 8), 7);
  Marker(p, QPointF(tx + 269, ty + tool + 8), 8);
  Marker(p, QPointF(list.x() + 500, list.y() + headerH + 3 * rowH + 7), 9);
  Marker(p, QPointF(x + w - 62, y + band + 24), 10);

  p.setPen(QPen(kBand, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(area.adjusted(0, 0, -1, -1));
}

struct LegendEntry {
  const char* heading;
  const char* text;
};

const LegendEntry kLegend[] = {
    {"Title band", "Drag it to move the window, double-click it to maximise. Help, minimise, maximise, quit."},
    {"Device list", "Every device the last search found, with its network details and versions."},
    {"Batch operations", "Reboot, password, ports, firmware upgrade and configuration for the checked devices."},
    {"Capacity calculator", "How much disk space, or how many recording days, a set of channels needs."},
    {"Settings", "Language, periodic search, the columns of the device list, and version information."},
    {"Find / All", "Type part of an IP or MAC, then Find filters the list; All shows every device again."},
    {"Network / Export", "Change the selected device's IP address, mask, gateway and DNS; export its configuration."},
    {"Search", "Searches the LAN again; with periodic search on, searches also run by themselves."},
    {"The list", "Double-click an IP for the web page, the login state to log in; right-click for more."},
    {"QR code", "Click a device's cloud id to show it as a QR code for the mobile app."},
};

void Legend(QPainter& p, const QRect& area) {
  const int columnWidth = area.width() / 2;
  const int entryHeight = area.height() / 5;
  for (int i = 0; i < 10; ++i) {
    const int col = i / 5, row = i % 5;
    const QRect cell(area.x() + col * columnWidth, area.y() + row * entryHeight, columnWidth - 12, entryHeight);
    Marker(p, QPointF(cell.x() + 10, cell.y() + 10), i + 1);
    p.setPen(colours::kInk);
    p.setFont(Font(12, 700));
    p.drawText(QRect(cell.x() + 26, cell.y(), cell.width() - 26, 18), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromLatin1(kLegend[i].heading));
    // The largest size at which the text fits its two lines.
    const QRect textRect(cell.x() + 26, cell.y() + 18, cell.width() - 26, entryHeight - 18);
    const QString text = QString::fromLatin1(kLegend[i].text);
    int size = 11;
    for (; size > 8; --size) {
      p.setFont(Font(size));
      if (p.boundingRect(textRect, Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap, text).height() <= textRect.height())
        break;
    }
    p.setFont(Font(size));
    p.setPen(QColor(0x55, 0x5B, 0x62));
    p.drawText(textRect, Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap, text);
  }
}

}  // namespace

QImage HelpPicture() {
  QImage img(kHelpPictureWidth, kHelpPictureHeight, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.fillRect(QRect(0, 0, img.width(), 36), kPanel);
  p.setPen(colours::kInk);
  p.setFont(Font(15, 700));
  p.drawText(QRect(20, 0, 600, 36), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("The main window at a glance"));
  MainWindowMiniature(p, QRect(20, 48, 600, 236));
  Legend(p, QRect(20, 300, 600, 220));
  return img;
}

}  // namespace skingen
