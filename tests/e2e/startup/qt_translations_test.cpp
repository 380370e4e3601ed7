// Qt's own dialogs speak the system's language. The system's locale is read
// from the environment once per process, so each case runs this test again as
// a child under that locale: it builds the QApplication, takes Qt's
// translations as start-up does, and runs the export's save-file dialog for
// real (no answerer: the QFileDialog itself is shown), reading its texts off
// the window before it is cancelled. The texts expected are read from Qt's
// catalogs here, in the parent.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QProcess>
#include <QTimer>
#include <QTranslator>

#include "app/qt_translations.h"
#include "ui/framework/save_file_dialog.h"

namespace {

constexpr char kChildFlag[] = "--export-dialog";

// What the child saw: the dialog's title, its accept and cancel buttons, and
// the direction the application and the dialog were laid out in.
struct SeenDialog {
  QString title, accept, cancel;
  Qt::LayoutDirection applicationDirection = Qt::LayoutDirectionAuto;
  Qt::LayoutDirection dialogDirection = Qt::LayoutDirectionAuto;
};

QString TextOf(QDialogButtonBox& box, QDialogButtonBox::ButtonRole role) {
  for (QAbstractButton* b : box.buttons())
    if (box.buttonRole(b) == role) return b->text();
  return {};
}

// The child: start-up's translations, then the export's dialog as the
// program runs it. Prints one line of tab-separated fields; with a path, also
// saves a picture of the dialog there for a person to look at.
int RunChild(const QString& picturePath) {
  InstallQtTranslations();
  SeenDialog seen;
  bool found = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll.stop();
    found = true;
    auto* box = dialog->findChild<QDialogButtonBox*>();
    seen.title = dialog->windowTitle();
    if (box) {
      seen.accept = TextOf(*box, QDialogButtonBox::AcceptRole);
      seen.cancel = TextOf(*box, QDialogButtonBox::RejectRole);
    }
    seen.applicationDirection = QGuiApplication::layoutDirection();
    seen.dialogDirection = dialog->layoutDirection();
    if (!picturePath.isEmpty()) dialog->grab().save(picturePath);
    dialog->reject();
  });
  poll.start(10);
  const QString chosen = savefile::AskSavePath(nullptr, {"camera.coi", "coi", "coi Files (*.coi)"});
  if (!found || !chosen.isEmpty()) return 2;
  const QString line = QStringList{seen.title, seen.accept, seen.cancel, QString::number(seen.applicationDirection),
                                   QString::number(seen.dialogDirection)}
                           .join('\t');
  fputs(line.toUtf8().constData(), stdout);
  return 0;
}

struct DialogLanguageCase {
  const char* name;
  const char* locale;   // LANG and LC_ALL of the child
  const char* catalog;  // the file of Qt's translations folder its texts come from; empty: Qt's English
};

void PrintTo(const DialogLanguageCase& c, std::ostream* os) { *os << c.name; }

class QtDialogLanguage : public ::testing::TestWithParam<DialogLanguageCase> {};

// A text as the catalog has it, or the English source where it has none.
QString Expected(const QTranslator* catalog, const char* context, const char* source) {
  const QString text = catalog ? catalog->translate(context, source) : QString();
  return text.isEmpty() ? QString::fromLatin1(source) : text;
}

TEST_P(QtDialogLanguage, ExportDialogSpeaksTheSystemsLanguage) {
  const DialogLanguageCase& c = GetParam();
  std::unique_ptr<QTranslator> catalog;
  if (*c.catalog) {
    catalog = std::make_unique<QTranslator>();
    const QString path = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + '/' + c.catalog;
    ASSERT_TRUE(catalog->load(path)) << path.toStdString() << " (scripts/install-deps installs Qt's translations)";
  }
  const QString title = Expected(catalog.get(), "QFileDialog", "Save As");
  const QString accept = Expected(catalog.get(), "QFileDialog", "&Save");
  const QString cancel = Expected(catalog.get(), "QPlatformTheme", "Cancel");
  if (catalog) {
    ASSERT_NE(title.toStdString(), "Save As") << "the catalog has no title for the dialog";
  }

  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("LANG", c.locale);
  env.insert("LC_ALL", c.locale);
  env.remove("LANGUAGE");
  env.remove("LC_MESSAGES");
  env.remove("DIVAROD_MODAL_LOG");
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(), {kChildFlag});
  ASSERT_TRUE(child.waitForFinished(60000));
  const QString err = QString::fromUtf8(child.readAllStandardError());
  ASSERT_EQ(child.exitCode(), 0) << "the dialog was not seen: " << err.toStdString();
  const QStringList fields = QString::fromUtf8(child.readAllStandardOutput()).split('\t');
  ASSERT_EQ(fields.size(), 5) << fields.join('|').toStdString();

  EXPECT_EQ(fields[0].toStdString(), title.toStdString());
  EXPECT_EQ(fields[1].toStdString(), accept.toStdString());
  EXPECT_EQ(fields[2].toStdString(), cancel.toStdString());
  // A right-to-left catalog leaves the program's windows left to right.
  EXPECT_EQ(fields[3].toInt(), Qt::LeftToRight) << "application (0: left to right, 1: right to left)";
  EXPECT_EQ(fields[4].toInt(), Qt::LeftToRight) << "dialog (0: left to right, 1: right to left)";
}

INSTANTIATE_TEST_SUITE_P(
    Locales, QtDialogLanguage,
    ::testing::Values(DialogLanguageCase{"German", "de_DE.UTF-8", "qtbase_de.qm"},
                      DialogLanguageCase{"Arabic", "ar_EG.UTF-8", "qtbase_ar.qm"},
                      // Qt has no qtbase catalog for Swedish; its older
                      // catalog of all of Qt still names the dialog.
                      DialogLanguageCase{"Swedish", "sv_SE.UTF-8", "qt_sv.qm"},
                      DialogLanguageCase{"CLocale", "C", ""}),
    [](const ::testing::TestParamInfo<DialogLanguageCase>& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc >= 2 && QByteArray(argv[1]) == kChildFlag) {
    QApplication app(argc, argv);
    return RunChild(argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());
  }
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
