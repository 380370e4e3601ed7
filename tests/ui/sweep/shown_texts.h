#pragma once
// What a window shows in words: every text of its visible controls, with the
// control it stands in and whether it fits there. The language sweep reads
// them to find raw keys and texts left from another language, and the
// contact-sheet renderer to report texts that are cut.

#include <QHash>
#include <QSet>
#include <QString>
#include <vector>

class QWidget;

struct ShownText {
  QString where;  // the control: class and object name, or a path of item rows
  QString text;
  bool cut = false;  // wider or taller than its control (skin buttons excepted: they elide with a tooltip)
  int room = 0;      // the control's width
  int needed = 0;    // the width the text takes there
  bool item = false; // a row of a list or tree: device data as well as texts
};

std::vector<ShownText> ShownTexts(QWidget& window);

// The section "String" of a language file: key -> text.
QHash<QString, QString> ReadLanguageFile(const QString& path);

// The keys that text shows raw, as a whole word: keys of the dictionary, and
// words shaped like a key ("tx.Name") that no file defines.
QStringList RawKeysIn(const QString& text, const QHash<QString, QString>& dictionary);
