#pragma once
// Reads a grab of a video area the way a person would check it: the test
// picture's QR code names the device's address and the stream shown.

#include <QImage>
#include <functional>
#include <optional>
#include <string>

namespace liveviewtest {

// The text of the one QR code in the picture, if one decodes.
std::optional<std::string> ReadPictureCode(const QImage& picture);

// Runs the event loop until `done` holds or `timeoutMs` pass; returns done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);

// Whether every pixel of the picture has one colour (an empty video area).
bool IsBlank(const QImage& picture);

}  // namespace liveviewtest
