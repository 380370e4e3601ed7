#pragma once
// The help page's picture: the main window in miniature with numbered
// markers and a legend of what each part does.

#include <QImage>

namespace skingen {

inline constexpr int kHelpPictureWidth = 640;
inline constexpr int kHelpPictureHeight = 528;

QImage HelpPicture();

}  // namespace skingen
