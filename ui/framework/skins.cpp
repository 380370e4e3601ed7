#include "ui/framework/skins.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QtMath>
#include <functional>
#include <map>

#include "ui/framework/colours.h"

namespace skins {
namespace {

// How one picture of a state looks: background, border and glyph colour.
struct Look {
  QColor fill;     // transparent: the window behind shows through
  QColor border;   // transparent: no border
  QColor glyph;
};

enum class Glyph { None, Close, Min, Max, Help, Find, All, Net, Export, DevInfo, Operate, Capacity, Setting };

struct PictureSpec {
  QSize size;
  Look look;
  Glyph glyph = Glyph::None;
  qreal radius = 0;       // corner radius of the background
  bool accentBar = false; // left-menu "current page" mark
};

QPen GlyphPen(const QColor& c, qreal width) {
  QPen pen(c, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

// Maps unit coordinates (0..1) of the glyph box to pixels.
struct Box {
  QRectF r;
  QPointF at(qreal x, qreal y) const { return {r.left() + x * r.width(), r.top() + y * r.height()}; }
  qreal len(qreal u) const { return u * r.width(); }
};

void DrawHelpMark(QPainter& p, const Box& b, const QColor& c, qreal stroke) {
  // A question mark drawn as a path, so it needs no font.
  QPainterPath path;
  path.moveTo(b.at(0.30, 0.34));
  path.cubicTo(b.at(0.30, 0.10), b.at(0.70, 0.10), b.at(0.70, 0.34));
  path.cubicTo(b.at(0.70, 0.50), b.at(0.50, 0.50), b.at(0.50, 0.66));
  p.setPen(GlyphPen(c, stroke));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(b.at(0.50, 0.86), stroke * 0.75, stroke * 0.75);
}

void DrawGear(QPainter& p, const Box& b, const QColor& c) {
  QPainterPath gear;
  const QPointF centre = b.at(0.5, 0.5);
  gear.addEllipse(centre, b.len(0.30), b.len(0.30));
  for (int i = 0; i < 8; ++i) {
    QPainterPath tooth;
    tooth.addRoundedRect(QRectF(-b.len(0.075), -b.len(0.44), b.len(0.15), b.len(0.22)), b.len(0.03), b.len(0.03));
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(i * 45.0);
    gear = gear.united(t.map(tooth));
  }
  QPainterPath hole;
  hole.addEllipse(centre, b.len(0.13), b.len(0.13));
  gear = gear.subtracted(hole);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPath(gear);
}

void DrawGlyph(QPainter& p, Glyph g, const QRectF& area, const QColor& c) {
  const Box b{area};
  const qreal stroke = qMax<qreal>(1.5, area.width() * 0.11);
  p.setBrush(Qt::NoBrush);
  p.setPen(GlyphPen(c, stroke));
  switch (g) {
    case Glyph::None:
      break;
    case Glyph::Close:
      p.drawLine(b.at(0.15, 0.15), b.at(0.85, 0.85));
      p.drawLine(b.at(0.85, 0.15), b.at(0.15, 0.85));
      break;
    case Glyph::Min:
      p.drawLine(b.at(0.12, 0.55), b.at(0.88, 0.55));
      break;
    case Glyph::Max:
      p.drawRoundedRect(QRectF(b.at(0.14, 0.14), b.at(0.86, 0.86)), b.len(0.06), b.len(0.06));
      break;
    case Glyph::Help:
      DrawHelpMark(p, b, c, stroke);
      break;
    case Glyph::Find:
      p.drawEllipse(b.at(0.42, 0.42), b.len(0.27), b.len(0.27));
      p.drawLine(b.at(0.63, 0.63), b.at(0.88, 0.88));
      break;
    case Glyph::All:
      for (int i = 0; i < 3; ++i) {
        const qreal y = 0.2 + i * 0.3;
        p.drawPoint(b.at(0.14, y));
        p.drawLine(b.at(0.36, y), b.at(0.88, y));
      }
      break;
    case Glyph::Net: {
      const qreal s = b.len(0.24);
      p.drawRoundedRect(QRectF(b.at(0.5, 0.05) - QPointF(s / 2, 0), QSizeF(s, s)), 1.5, 1.5);
      p.drawRoundedRect(QRectF(b.at(0.12, 0.95) - QPointF(0, s), QSizeF(s, s)), 1.5, 1.5);
      p.drawRoundedRect(QRectF(b.at(0.88, 0.95) - QPointF(s, s), QSizeF(s, s)), 1.5, 1.5);
      p.drawLine(b.at(0.5, 0.29), b.at(0.5, 0.5));
      p.drawLine(b.at(0.24, 0.5), b.at(0.76, 0.5));
      p.drawLine(b.at(0.24, 0.5), b.at(0.24, 0.71));
      p.drawLine(b.at(0.76, 0.5), b.at(0.76, 0.71));
      break;
    }
    case Glyph::Export: {
      QPainterPath tray;
      tray.moveTo(b.at(0.12, 0.55));
      tray.lineTo(b.at(0.12, 0.88));
      tray.lineTo(b.at(0.88, 0.88));
      tray.lineTo(b.at(0.88, 0.55));
      p.drawPath(tray);
      p.drawLine(b.at(0.5, 0.12), b.at(0.5, 0.66));
      QPainterPath head;
      head.moveTo(b.at(0.28, 0.33));
      head.lineTo(b.at(0.5, 0.12));
      head.lineTo(b.at(0.72, 0.33));
      p.drawPath(head);
      break;
    }
    case Glyph::DevInfo: {
      // A monitor showing a list: the device list.
      p.drawRoundedRect(QRectF(b.at(0.08, 0.12), b.at(0.92, 0.74)), b.len(0.06), b.len(0.06));
      p.drawLine(b.at(0.36, 0.90), b.at(0.64, 0.90));
      p.drawLine(b.at(0.5, 0.74), b.at(0.5, 0.90));
      QPen thin = GlyphPen(c, stroke * 0.7);
      p.setPen(thin);
      for (int i = 0; i < 3; ++i) {
        const qreal y = 0.29 + i * 0.14;
        p.drawLine(b.at(0.24, y), b.at(0.30, y));
        p.drawLine(b.at(0.40, y), b.at(0.76, y));
      }
      break;
    }
    case Glyph::Operate: {
      // Stacked layers: one action over many devices.
      for (int i = 2; i >= 0; --i) {
        const qreal dy = i * 0.17;
        QPainterPath layer;
        layer.moveTo(b.at(0.5, 0.14 + dy));
        layer.lineTo(b.at(0.92, 0.34 + dy));
        layer.lineTo(b.at(0.5, 0.54 + dy));
        layer.lineTo(b.at(0.08, 0.34 + dy));
        layer.closeSubpath();
        if (i == 0) p.setBrush(c);
        p.drawPath(layer);
        p.setBrush(Qt::NoBrush);
      }
      break;
    }
    case Glyph::Capacity: {
      // A disk stack: recording capacity.
      const QRectF top(b.at(0.14, 0.08), b.at(0.86, 0.30));
      p.drawEllipse(top);
      QPainterPath body;
      body.moveTo(b.at(0.14, 0.19));
      body.lineTo(b.at(0.14, 0.81));
      body.arcTo(QRectF(b.at(0.14, 0.70), b.at(0.86, 0.92)), 180, 180);
      body.lineTo(b.at(0.86, 0.19));
      p.drawPath(body);
      p.drawArc(QRectF(b.at(0.14, 0.30), b.at(0.86, 0.52)), 180 * 16, 180 * 16);
      p.drawArc(QRectF(b.at(0.14, 0.50), b.at(0.86, 0.72)), 180 * 16, 180 * 16);
      break;
    }
    case Glyph::Setting:
      DrawGear(p, b, c);
      break;
  }
}

void DrawButtonPicture(QImage& img, const PictureSpec& s) {
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF whole(0, 0, s.size.width(), s.size.height());
  const qreal inset = s.look.border.alpha() ? 0.5 : 0.0;
  const QRectF frame = whole.adjusted(inset, inset, -inset, -inset);
  p.setPen(s.look.border.alpha() ? QPen(s.look.border, 1.0) : QPen(Qt::NoPen));
  p.setBrush(s.look.fill.alpha() ? QBrush(s.look.fill) : QBrush(Qt::NoBrush));
  if (s.radius > 0)
    p.drawRoundedRect(frame, s.radius, s.radius);
  else
    p.drawRect(frame);
  if (s.accentBar) {
    p.setPen(Qt::NoPen);
    p.setBrush(colours::kAccentDark);
    p.drawRect(QRectF(0, 0, 4, whole.height()));
  }
  if (s.glyph != Glyph::None) {
    // Glyphs sit in a square in the middle: half the picture on small
    // pictures, less on the big menu tiles.
    const qreal side = s.size.width() >= 60 ? 26 : s.size.width() >= 28 ? 14 : 12;
    const QRectF area((whole.width() - side) / 2, (whole.height() - side) / 2, side, side);
    DrawGlyph(p, s.glyph, area, s.look.glyph);
  }
}

const QColor kTransparent(0, 0, 0, 0);

// The state looks shared by each family of pictures.
Look DialogButton(int state) {  // 0 normal, 1 pressed, 2 hover, 3 disabled
  switch (state) {
    case 1: return {colours::kAccent, colours::kAccentDark, Qt::white};
    case 2: return {Qt::white, colours::kAccent, colours::kAccent};
    case 3: return {QColor(0xE6, 0xE8, 0xEB), QColor(0xD0, 0xD4, 0xD9), colours::kInkMuted};
    default: return {Qt::white, colours::kLine, colours::kInk};
  }
}

Look CaptionButton(int state, bool close) {
  switch (state) {
    case 1: return {close ? QColor(0xB8, 0x36, 0x3A) : colours::kAccentDark, kTransparent, Qt::white};
    case 2: return {close ? QColor(0xE5, 0x48, 0x4D) : QColor(0x4A, 0x4A, 0x4A), kTransparent, Qt::white};
    default: return {kTransparent, kTransparent, Qt::white};
  }
}

Look ToolButton(int state) {
  switch (state) {
    case 1: return {colours::kAccent, colours::kAccentDark, Qt::white};
    case 2: return {colours::kAccentSoft, colours::kAccent, colours::kAccent};
    case 3: return {QColor(0xF3, 0xF5, 0xF7), colours::kLine, colours::kInkMuted};
    default: return {Qt::white, colours::kLine, colours::kInk};
  }
}

Look MenuButton(bool pressed) {
  if (pressed) return {colours::kAccent, kTransparent, Qt::white};
  return {colours::FromColorRef(colours::kMenu), kTransparent, colours::kInk};
}

const std::map<int, PictureSpec>& Specs() {
  static const std::map<int, PictureSpec> specs = [] {
    std::map<int, PictureSpec> m;
    auto dialog = [&](int id, int state) { m[id] = {QSize(88, 32), DialogButton(state), Glyph::None, 4, false}; };
    dialog(kButtonNormal, 0);
    dialog(kButtonPressed, 1);
    dialog(kButtonHover, 2);
    dialog(kButtonDisabled, 3);

    auto caption = [&](int id, int state, Glyph g) {
      m[id] = {QSize(20, 20), CaptionButton(state, g == Glyph::Close), g, 3, false};
    };
    caption(kCloseNormal, 0, Glyph::Close);
    caption(kClosePressed, 1, Glyph::Close);
    caption(kCloseHover, 2, Glyph::Close);
    caption(kMinNormal, 0, Glyph::Min);
    caption(kMinPressed, 1, Glyph::Min);
    caption(kMinHover, 2, Glyph::Min);
    caption(kMaxNormal, 0, Glyph::Max);
    caption(kMaxPressed, 1, Glyph::Max);
    caption(kMaxHover, 2, Glyph::Max);
    caption(kHelpNormal, 0, Glyph::Help);
    caption(kHelpPressed, 1, Glyph::Help);
    caption(kHelpHover, 2, Glyph::Help);

    auto tool = [&](int normal, int pressed, int hover, int disabled, Glyph g) {
      m[normal] = {QSize(28, 28), ToolButton(0), g, 4, false};
      m[pressed] = {QSize(28, 28), ToolButton(1), g, 4, false};
      m[hover] = {QSize(28, 28), ToolButton(2), g, 4, false};
      m[disabled] = {QSize(28, 28), ToolButton(3), g, 4, false};
    };
    tool(kFindNormal, kFindPressed, kFindHover, kFindDisabled, Glyph::Find);
    tool(kAllNormal, kAllPressed, kAllHover, kAllDisabled, Glyph::All);
    tool(kNetNormal, kNetPressed, kNetHover, kNetDisabled, Glyph::Net);
    tool(kExportNormal, kExportPressed, kExportHover, kExportDisabled, Glyph::Export);

    auto menu = [&](int normal, int pressed, Glyph g) {
      m[normal] = {QSize(60, 60), MenuButton(false), g, 0, false};
      m[pressed] = {QSize(60, 60), MenuButton(true), g, 0, true};
    };
    menu(kMenuDevInfoNormal, kMenuDevInfoPressed, Glyph::DevInfo);
    menu(kMenuOperateNormal, kMenuOperatePressed, Glyph::Operate);
    menu(kMenuCapacityNormal, kMenuCapacityPressed, Glyph::Capacity);
    menu(kMenuSettingNormal, kMenuSettingPressed, Glyph::Setting);
    return m;
  }();
  return specs;
}

QImage NewImage(QSize size) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// Red warning triangle with a white exclamation mark, 80 x 78.
QImage WarningTriangle(QSize size, const QColor& colour) {
  QImage img = NewImage(size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = size.width(), h = size.height();
  QPainterPath tri;
  const qreal r = w * 0.06;
  tri.moveTo(w / 2, r);
  tri.lineTo(w - r, h - r);
  tri.lineTo(r, h - r);
  tri.closeSubpath();
  p.setPen(QPen(colour, r * 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(colour);
  p.drawPath(tri);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  const qreal bar = w * 0.09;
  p.drawRoundedRect(QRectF(w / 2 - bar / 2, h * 0.32, bar, h * 0.34), bar / 2, bar / 2);
  p.drawEllipse(QPointF(w / 2, h * 0.78), bar * 0.62, bar * 0.62);
  return img;
}

QImage TreeIcon(int id) {
  QImage img = NewImage(QSize(16, 16));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = colours::kAccent;
  p.setPen(GlyphPen(c, 1.4));
  p.setBrush(Qt::NoBrush);
  switch (id) {
    case kTreeLanguage:  // globe
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.drawEllipse(QRectF(5, 1.5, 6, 13));
      p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
      break;
    case kTreeSearch:  // magnifier over a dial
      p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
      p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
      p.drawLine(QPointF(6, 6), QPointF(6, 3.8));
      p.drawLine(QPointF(6, 6), QPointF(7.8, 6));
      break;
    case kTreeColumns:  // a table's columns
      p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
      p.drawLine(QPointF(6, 2.5), QPointF(6, 13.5));
      p.drawLine(QPointF(10.5, 2.5), QPointF(10.5, 13.5));
      break;
    case kTreeAbout:  // information
      p.setPen(Qt::NoPen);
      p.setBrush(c);
      p.drawEllipse(QRectF(1, 1, 14, 14));
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
      p.drawRoundedRect(QRectF(7, 6.8, 2, 5.6), 0.8, 0.8);
      break;
    default:
      break;
  }
  return img;
}

}  // namespace

const std::vector<int>& BitmapIds() {
  static const std::vector<int> ids = [] {
    std::vector<int> v;
    for (const auto& [id, spec] : Specs()) v.push_back(id);
    v.push_back(kTipIcon);
    for (int id : {kTreeColumns, kTreeLanguage, kTreeAbout, kTreeSearch}) v.push_back(id);
    std::sort(v.begin(), v.end());
    return v;
  }();
  return ids;
}

QSize BitmapSize(int id) {
  if (auto it = Specs().find(id); it != Specs().end()) return it->second.size;
  if (id == kTipIcon) return QSize(80, 78);
  if (id == kTreeColumns || id == kTreeLanguage || id == kTreeAbout || id == kTreeSearch) return QSize(16, 16);
  return {};
}

QImage Picture(int id) {
  if (auto it = Specs().find(id); it != Specs().end()) {
    QImage img = NewImage(it->second.size);
    DrawButtonPicture(img, it->second);
    return img;
  }
  if (id == kTipIcon) return WarningTriangle(QSize(80, 78), QColor(0xE0, 0x3B, 0x3B));
  if (BitmapSize(id).isValid()) return TreeIcon(id);
  return {};
}

QPixmap Bitmap(int id) {
  static QHash<int, QPixmap> cache;
  Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
  if (auto it = cache.constFind(id); it != cache.constEnd()) return *it;
  QPixmap pm = QPixmap::fromImage(Picture(id));
  cache.insert(id, pm);
  return pm;
}

QImage TipIcon(int kind, int size) {
  const qreal s = size;
  auto disc = [&](const QColor& c) {
    QImage img = NewImage(QSize(size, size));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
    return img;
  };
  switch (kind) {
    case 0x10: {  // error: red disc, white cross
      QImage img = disc(QColor(0xE0, 0x3B, 0x3B));
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(GlyphPen(Qt::white, s * 0.11));
      p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
      p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
      return img;
    }
    case 0x20: {  // question: blue disc, white question mark
      QImage img = disc(colours::kAccent);
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      DrawHelpMark(p, Box{QRectF(s * 0.25, s * 0.2, s * 0.5, s * 0.62)}, Qt::white, s * 0.1);
      return img;
    }
    case 0x30:  // warning: amber triangle
      return WarningTriangle(QSize(size, size), QColor(0xF2, 0x9D, 0x1D));
    case 0x40: {  // information: blue disc, white "i"
      QImage img = disc(colours::kAccent);
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(s / 2, s * 0.29), s * 0.07, s * 0.07);
      p.drawRoundedRect(QRectF(s / 2 - s * 0.06, s * 0.42, s * 0.12, s * 0.34), s * 0.05, s * 0.05);
      return img;
    }
    default:
      return {};
  }
}

QImage Emblem(int size) {
  QImage img = NewImage(QSize(size, size));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  QLinearGradient g(0, 0, 0, s);
  g.setColorAt(0, QColor(0x3D, 0x8E, 0xF5));
  g.setColorAt(1, colours::kAccentDark);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.22, s * 0.22);
  // A camera lens: white ring, dark pupil, a glint.
  const QPointF c(s * 0.5, s * 0.52);
  p.setBrush(Qt::white);
  p.drawEllipse(c, s * 0.31, s * 0.31);
  p.setBrush(QColor(0x1B, 0x2A, 0x3D));
  p.drawEllipse(c, s * 0.19, s * 0.19);
  p.setBrush(QColor(0x5F, 0xA8, 0xFF));
  p.drawEllipse(c, s * 0.09, s * 0.09);
  p.setBrush(Qt::white);
  p.drawEllipse(c + QPointF(-s * 0.07, -s * 0.07), s * 0.04, s * 0.04);
  // Signal arcs: the device talks over the network.
  if (size >= 24) {
    p.setBrush(Qt::NoBrush);
    p.setPen(GlyphPen(Qt::white, qMax<qreal>(1.0, s * 0.05)));
    p.drawArc(QRectF(s * 0.64, s * 0.06, s * 0.28, s * 0.28), 0, 90 * 16);
  }
  return img;
}

QString FontFamily(const QString& requested) {
  if (QGuiApplication::instance() && QFontDatabase::hasFamily(requested)) return requested;
  if (QGuiApplication::instance()) {
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (!general.isEmpty()) return general;
  }
  return QStringLiteral("Sans Serif");
}

namespace {
QFont::Weight QtWeight(int windowsWeight) {
  if (windowsWeight >= 700) return QFont::Bold;
  if (windowsWeight >= 600) return QFont::DemiBold;
  if (windowsWeight >= 500) return QFont::Medium;
  return QFont::Normal;
}
}  // namespace

QFont PixelFont(const QString& family, int pixelHeight, int weight) {
  QFont f(FontFamily(family));
  f.setPixelSize(qMax(1, pixelHeight));
  f.setWeight(QtWeight(weight));
  f.setStyleHint(QFont::SansSerif);
  return f;
}

QFont PointFont(const QString& family, int pointSize, int weight) {
  QFont f(FontFamily(family));
  f.setPointSize(qMax(1, pointSize));
  f.setWeight(QtWeight(weight));
  f.setStyleHint(QFont::SansSerif);
  return f;
}

}  // namespace skins
