#pragma once
// The skin pictures. Windows name their button pictures by the resource ids
// of the original resource set; here every one of them is drawn by our own
// code (flat, in the program's colours) the first time it is asked for, at
// the size the windows expect. Text on pictures needs a QGuiApplication.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <vector>

namespace skins {

// Resource ids of the pictures, by what they show.
enum BitmapId : int {
  kTipIcon = 132,                 // red warning triangle, 80 x 78

  // 88 x 32 dialog buttons (OK, Cancel, SEARCH, sub-page buttons, ...)
  kButtonDisabled = 177,
  kButtonPressed = 178,
  kButtonNormal = 179,
  kButtonHover = 180,

  // 20 x 20 caption buttons on the dark band
  kClosePressed = 204,
  kCloseNormal = 205,
  kCloseHover = 206,
  kMinNormal = 208,
  kMinHover = 209,
  kMinPressed = 211,
  kMaxNormal = 214,
  kMaxHover = 215,
  kMaxPressed = 216,
  kHelpPressed = 240,
  kHelpNormal = 241,
  kHelpHover = 242,

  // 28 x 28 tool buttons of the list pages
  kAllDisabled = 171,
  kAllPressed = 172,
  kAllNormal = 173,
  kAllHover = 174,
  kFindDisabled = 186,
  kFindPressed = 187,
  kFindNormal = 188,
  kFindHover = 189,
  kNetDisabled = 193,
  kNetPressed = 194,
  kNetNormal = 195,
  kNetHover = 196,
  kExportDisabled = 228,
  kExportPressed = 230,
  kExportNormal = 232,
  kExportHover = 233,

  // 60 x 60 left-menu buttons (normal doubles as hover and disabled)
  kMenuOperateNormal = 175,
  kMenuOperatePressed = 176,
  kMenuDevInfoNormal = 184,
  kMenuDevInfoPressed = 185,
  kMenuSettingNormal = 201,
  kMenuSettingPressed = 202,
  kMenuCapacityNormal = 236,
  kMenuCapacityPressed = 237,

  // 16 x 16 icons of the settings tree
  kTreeColumns = 153,
  kTreeLanguage = 154,
  kTreeAbout = 217,
  kTreeSearch = 224,
};

// Every id above, ascending.
const std::vector<int>& BitmapIds();

// The size of picture id; an empty size for an unknown id.
QSize BitmapSize(int id);

// Picture id drawn afresh (ARGB32 premultiplied); null for an unknown id.
QImage Picture(int id);

// Picture id as a pixmap, drawn once and kept (UI thread only); a null
// pixmap for an unknown id, as a resource that fails to load would be.
QPixmap Bitmap(int id);

// The message box's icon for one kind (0x10 error, 0x20 question, 0x30
// warning, 0x40 information), size x size pixels; null for another kind.
QImage TipIcon(int kind, int size);

// The program's emblem, size x size pixels: the window icon and the page logo.
QImage Emblem(int size);

// The family to use for a font the windows name ("Tahoma", "MS Shell Dlg",
// ...): itself when installed, else the platform's sans-serif family.
QString FontFamily(const QString& requested);

// A font of the named family (or its stand-in) by pixel height and weight
// (Windows weights: 400 normal, 600 semi-bold, 700 bold).
QFont PixelFont(const QString& family, int pixelHeight, int weight = 400);

// A font of the named family (or its stand-in) by point size.
QFont PointFont(const QString& family, int pointSize, int weight = 400);

}  // namespace skins
