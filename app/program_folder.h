#pragma once
#include <QString>

// The running program's folder with a trailing "/": every configuration path
// is built on it.
QString GetProgramFolder();

// "<program folder>Config File/Config/Config.ini"
QString ConfigIniPath();
