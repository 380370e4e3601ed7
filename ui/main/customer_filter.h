#pragma once
// Which discovered devices the configured customer code lets the program show.

#include <QString>

// A configured code that contains "C0000" keeps every device. Otherwise a
// device stays when its own code is exactly "C0000", or is contained in the
// configured code (case-sensitive; an empty device code always is).
bool CustomerCodeKeepsDevice(const QString& configuredCode, const QString& deviceCode);
