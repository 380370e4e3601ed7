#include "app/qt_translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void InstallQtTranslations() {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(QCoreApplication::instance());
  // qtbase_<language> holds every text of QtCore, QtGui and QtWidgets. For
  // the few languages it lacks, qt_<language> is Qt's older catalog of all its
  // modules, which still names part of the dialogs; for the others qt_ only
  // points to qtbase_ (and to modules the program does not use).
  for (const char* catalog : {"qtbase", "qt"}) {
    if (!translator->load(QLocale::system(), QLatin1String(catalog), QStringLiteral("_"), folder)) continue;
    // A right-to-left catalog would turn every window of the application
    // around; the program's windows are laid out left to right in every
    // language.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    QCoreApplication::installTranslator(translator);
    return;
  }
  delete translator;
}
