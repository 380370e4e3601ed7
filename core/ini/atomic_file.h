#pragma once
// Replaces a file's contents so that a crash or a full disk leaves either the
// old file or the new one, never a mixture: a temporary file in the same
// folder is written, flushed to disk and renamed over the target.

#include <QByteArray>
#include <QString>

namespace ini {

// Keeps the old file's permission bits; a symbolic link keeps pointing at its
// target, whose contents are replaced. False (target untouched) on any error.
bool WriteFileAtomically(const QString& path, const QByteArray& contents);

}  // namespace ini
