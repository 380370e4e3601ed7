#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A temporary folder holding one INI file with the given bytes.
class IniFixture {
 public:
  QString Write(const QByteArray& bytes, const QString& name = "test.ini") {
    const QString path = dir_.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
  }
  QString PathOf(const QString& name) const { return dir_.filePath(name); }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static QByteArray Utf16Le(const QString& text) {
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
      out.append(static_cast<char>(c.unicode() & 0xFF));
      out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
  }
  const QTemporaryDir& Dir() const { return dir_; }

 private:
  QTemporaryDir dir_;
};
