#pragma once
// The frame every render program shares (render_<page> <folder>): the
// application on the offscreen platform unless another is chosen, the folder
// the pictures go to (made when missing, the current one when none is
// given), serving the event queue until the window shows what is to be drawn,
// saving a picture with its path printed for the person looking, and a
// program folder of its own.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

class RenderProgram {
 public:
  RenderProgram(int& argc, char** argv)
      : app_(OffscreenUnlessChosen(argc), argv),
        folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath()) {
    QDir().mkpath(folder);
  }

  // Serves the event queue until done() holds, at most budgetMs; whether it
  // held.
  static bool ServeUntil(const std::function<bool()>& done, int budgetMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < budgetMs) QApplication::processEvents();
    return done();
  }

  // Saves the picture as <folder>/<name> and prints its path.
  void Save(const QImage& image, const QString& name) const {
    const QString path = folder + "/" + name;
    image.save(path);
    std::printf("%s\n", qPrintable(path));
  }
  void Save(QWidget& widget, const QString& name) const { Save(widget.grab().toImage(), name); }

  // A program folder of its own with the shipped configuration and
  // languages, for a window that writes Config.ini (a language change does);
  // ends with '/', as the main window keeps it.
  QString OwnProgramFolder() {
    if (!programFolder_) {
      programFolder_ = std::make_unique<QTemporaryDir>();
      std::error_code error;
      std::filesystem::copy((QCoreApplication::applicationDirPath() + "/Config File").toStdString(),
                            (programFolder_->path() + "/Config File").toStdString(),
                            std::filesystem::copy_options::recursive, error);
      if (error) std::fprintf(stderr, "no program folder: %s\n", error.message().c_str());
    }
    return programFolder_->path() + "/";
  }

 private:
  static int& OffscreenUnlessChosen(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
  }

  QApplication app_;

 public:
  const QString folder;

 private:
  std::unique_ptr<QTemporaryDir> programFolder_;
};
