// The layers' include rules (docs/architecture.md), checked over the source
// tree so that they hold by test and not only by care: core/ includes
// nothing of ui/, libs/, tools/ or app/ and no QtGui or QtWidgets header
// (core uses QtCore at most); libs/ includes nothing of ui/. Inside ui/ the
// layers stand framework, filters, controls, then the pages (device list,
// batch operations, tools) side by side, then the main window on top: a
// layer includes nothing of a layer above it or beside it, and its
// CMakeLists.txt links no library of one.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <vector>

namespace {

struct Rule {
  QString layer;                    // folder below the source root
  QStringList forbiddenPrefixes;    // of quoted project includes
  bool forbidGuiAndWidgets = false; // any QtGui or QtWidgets header
  QStringList forbiddenLibraries = {};  // named in the layer's CMakeLists.txt files
};

// Every header name QtGui and QtWidgets install ("QImage", "qimage.h", ...).
QSet<QString> GuiAndWidgetsHeaders() {
  QSet<QString> names;
  const QString root = QLibraryInfo::path(QLibraryInfo::HeadersPath);
  for (const char* module : {"QtGui", "QtWidgets"}) {
    names.insert(module);
    for (const QString& f : QDir(root + "/" + module).entryList(QDir::Files)) names.insert(f);
  }
  return names;
}

// Every line of the layer's files matching `names`: for each, `offence` gives
// what breaks the rule on it (nothing when the line is fine), reported as
// "file:line: offence".
QStringList Offences(const QString& sourceRoot, const QString& layer, const QStringList& names,
                     const std::function<QStringList(const QString& line)>& offence) {
  QStringList out;
  QDirIterator it(sourceRoot + "/" + layer, names, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
      out << path + ": cannot be read";
      continue;
    }
    int lineNumber = 0;
    while (!f.atEnd()) {
      const QString line = QString::fromUtf8(f.readLine());
      ++lineNumber;
      for (const QString& what : offence(line))
        out << QDir(sourceRoot).relativeFilePath(path) + ":" + QString::number(lineNumber) + ": " + what;
    }
  }
  return out;
}

// "file:line: include" for every include of the layer that breaks the rule.
QStringList Violations(const QString& sourceRoot, const Rule& rule, const QSet<QString>& guiHeaders) {
  static const QRegularExpression include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  return Offences(sourceRoot, rule.layer, {"*.h", "*.cpp"}, [&](const QString& line) {
    const auto m = include.match(line);
    if (!m.hasMatch()) return QStringList();
    const QString name = m.captured(2);
    bool bad = false;
    for (const QString& prefix : rule.forbiddenPrefixes) bad |= name.startsWith(prefix);
    if (rule.forbidGuiAndWidgets) {
      const QString module = name.section('/', 0, 0);
      bad |= module == "QtGui" || module == "QtWidgets" || (!name.contains('/') && guiHeaders.contains(name));
    }
    return bad ? QStringList{name} : QStringList();
  });
}

// "file:line: library" for every line of the layer's CMakeLists.txt files
// that names a library the rule forbids.
QStringList LinkViolations(const QString& sourceRoot, const Rule& rule) {
  return Offences(sourceRoot, rule.layer, {"CMakeLists.txt"}, [&](const QString& line) {
    const QString code = line.section('#', 0, 0);  // a comment names nothing
    QStringList named;
    for (const QString& library : rule.forbiddenLibraries)
      if (QRegularExpression("\\b" + library + "\\b").match(code).hasMatch()) named << library;
    return named;
  });
}

// The layers inside ui/, lowest first; the pages stand side by side.
const QStringList kPages = {"devicelist", "operations", "tools"};

// A ui/ layer's rule: nothing of the layers `above` (and of `beside`).
Rule UiRule(const QString& layer, const QStringList& notReached) {
  Rule rule{"ui/" + layer, {}, false};
  for (const QString& other : notReached) {
    rule.forbiddenPrefixes << "ui/" + other + "/";
    rule.forbiddenLibraries << "ui_" + other;
  }
  return rule;
}

const std::vector<Rule> kRules = {
    {"core", {"ui/", "libs/", "tools/", "app/"}, true},
    {"libs", {"ui/"}, false},
    UiRule("framework", QStringList{"filters", "controls", "main"} + kPages),
    UiRule("filters", QStringList{"controls", "main"} + kPages),
    UiRule("controls", QStringList{"main"} + kPages),
    UiRule("devicelist", {"operations", "tools", "main"}),
    UiRule("operations", {"devicelist", "tools", "main"}),
    UiRule("tools", {"devicelist", "operations", "main"}),
};

TEST(Layering, QtGuiAndQtWidgetsHeadersAreKnown) {
  const auto names = GuiAndWidgetsHeaders();
  EXPECT_TRUE(names.contains("QImage"));
  EXPECT_TRUE(names.contains("QWidget"));
  EXPECT_FALSE(names.contains("QString")) << "a QtCore header counted as QtGui";
}

TEST(Layering, EveryLayerKeepsItsIncludeRules) {
  const auto guiHeaders = GuiAndWidgetsHeaders();
  for (const Rule& rule : kRules) {
    ASSERT_TRUE(QDir(QString(DIVAROD_SOURCE_DIR) + "/" + rule.layer).exists()) << rule.layer.toStdString();
    const QStringList bad = Violations(DIVAROD_SOURCE_DIR, rule, guiHeaders) + LinkViolations(DIVAROD_SOURCE_DIR, rule);
    EXPECT_TRUE(bad.isEmpty()) << rule.layer.toStdString() << " breaks its rule:\n"
                               << bad.join("\n").toStdString();
  }
}

// The check itself: a small tree with one include of each kind it must catch
// and the kinds it must let through.
TEST(Layering, CatchesEveryKindOfForbiddenInclude) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath("core/util");
  QDir(dir.path()).mkpath("libs/x");
  QFile core(dir.path() + "/core/util/a.cpp");
  ASSERT_TRUE(core.open(QIODevice::WriteOnly));
  core.write("#include \"core/util/a.h\"\n"     // allowed
             "#include <QString>\n"            // allowed: QtCore
             "#include <vector>\n"             // allowed
             "#include \"ui/main/x.h\"\n"      // 4
             "  #  include \"libs/cipher/c.h\"\n"  // 5
             "#include \"tools/devsim/s.h\"\n" // 6
             "#include <QImage>\n"             // 7
             "#include <QtWidgets/QWidget>\n"  // 8
             "#include <qpainter.h>\n"         // 9
             "// #include \"ui/no.h\" in a comment is no include\n");
  core.close();
  QFile lib(dir.path() + "/libs/x/b.h");
  ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
  lib.write("#include \"core/device/d.h\"\n#include <QImage>\n#include \"ui/framework/f.h\"\n");
  lib.close();

  const auto guiHeaders = GuiAndWidgetsHeaders();
  EXPECT_EQ(Violations(dir.path(), kRules[0], guiHeaders),
            QStringList({"core/util/a.cpp:4: ui/main/x.h", "core/util/a.cpp:5: libs/cipher/c.h",
                         "core/util/a.cpp:6: tools/devsim/s.h", "core/util/a.cpp:7: QImage",
                         "core/util/a.cpp:8: QtWidgets/QWidget", "core/util/a.cpp:9: qpainter.h"}));
  EXPECT_EQ(Violations(dir.path(), kRules[1], guiHeaders), QStringList({"libs/x/b.h:3: ui/framework/f.h"}));
}

// Inside ui/: a page that reaches up into the main window, or across to
// another page, by an include or by a link.
TEST(Layering, CatchesAPageReachingTheMainWindowOrAnotherPage) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath("ui/operations");
  QFile page(dir.path() + "/ui/operations/p.cpp");
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("#include \"ui/operations/p.h\"\n"      // allowed: its own layer
             "#include \"ui/controls/skin_button.h\"\n"  // allowed: below
             "#include \"ui/main/divarod_dlg.h\"\n"      // 3: the main window
             "#include \"ui/devicelist/dlg_dev_info.h\"\n");  // 4: the page beside
  page.close();
  QFile cmake(dir.path() + "/ui/operations/CMakeLists.txt");
  ASSERT_TRUE(cmake.open(QIODevice::WriteOnly));
  cmake.write("divarod_library(ui_operations SOURCES p.cpp PUBLIC_DEPS ui_controls)\n"
              "# the main window (ui_main) links this library, not the other way\n"
              "target_link_libraries(ui_operations PUBLIC ui_main)\n");
  cmake.close();

  const Rule& operations = kRules[6];
  ASSERT_EQ(operations.layer, "ui/operations");
  EXPECT_EQ(Violations(dir.path(), operations, GuiAndWidgetsHeaders()),
            QStringList({"ui/operations/p.cpp:3: ui/main/divarod_dlg.h", "ui/operations/p.cpp:4: ui/devicelist/dlg_dev_info.h"}));
  EXPECT_EQ(LinkViolations(dir.path(), operations), QStringList({"ui/operations/CMakeLists.txt:3: ui_main"}));
}

}  // namespace
