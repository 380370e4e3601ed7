#pragma once
// Qt's own texts (its standard dialogs, a message box's buttons, a line
// edit's menu) in the system's language, as the platform's own dialogs speak
// it. The program's texts come from its language files alone.
//
// Installs Qt's translations for QLocale::system() from Qt's translations
// folder. Under the C locale, or a language Qt has no catalog for, Qt's
// built-in English stays. Called once, after the QApplication is built and
// before the first window.
void InstallQtTranslations();
