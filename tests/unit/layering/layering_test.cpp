// The layers' include rules (docs/architecture.md), checked over the source
// tree so that they hold by test and not only by care: core/ includes
// nothing of ui/, libs/, tools/ or app/ and no QtGui or QtWidgets header
// (core uses QtCore at most); libs/ includes nothing of ui/.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace {

struct Rule {
  QString layer;                    // folder below the source root
  QStringList forbiddenPrefixes;    // of quoted project includes
  bool forbidGuiAndWidgets = false; // any QtGui or QtWidgets header
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

// "file:line: include" for every include of the layer that breaks the rule.
QStringList Violations(const QString& sourceRoot, const Rule& rule, const QSet<QString>& guiHeaders) {
  static const QRegularExpression include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  QStringList out;
  QDirIterator it(sourceRoot + "/" + rule.layer, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
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
      const auto m = include.match(line);
      if (!m.hasMatch()) continue;
      const QString name = m.captured(2);
      bool bad = false;
      for (const QString& prefix : rule.forbiddenPrefixes) bad |= name.startsWith(prefix);
      if (rule.forbidGuiAndWidgets) {
        const QString module = name.section('/', 0, 0);
        bad |= module == "QtGui" || module == "QtWidgets" || (!name.contains('/') && guiHeaders.contains(name));
      }
      if (bad) out << QDir(sourceRoot).relativeFilePath(path) + ":" + QString::number(lineNumber) + ": " + name;
    }
  }
  return out;
}

const Rule kRules[] = {
    {"core", {"ui/", "libs/", "tools/", "app/"}, true},
    {"libs", {"ui/"}, false},
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
    const QStringList bad = Violations(DIVAROD_SOURCE_DIR, rule, guiHeaders);
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

}  // namespace
