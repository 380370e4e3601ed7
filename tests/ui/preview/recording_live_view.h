#pragma once
// A live-view library that records every call, in order, and answers as told.

#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "libs/liveview/live_view.h"

class RecordingLiveView : public liveview::LiveViewLibrary {
 public:
  RecordingLiveView() { liveview::SetLib(this); }
  ~RecordingLiveView() override { liveview::SetLib(nullptr); }

  int handleToGive = 7;  // 0: Create writes no handle
  int openResult = 0;
  QStringList calls;
  QString address;       // the last one ViewOpen got; "(null)" for a null one
  QWidget* window = nullptr;
  QSize lastSize;

  int ZODuruvInitialize(const char* configFile) override {
    calls << QStringLiteral("Initialize %1").arg(configFile);
    return 0;
  }
  int ZODuruvCreate(int* handle, QWidget* w, int a, int b, int c) override {
    calls << QStringLiteral("Create %1 %2 %3").arg(a).arg(b).arg(c);
    window = w;
    if (handleToGive != 0) *handle = handleToGive;
    return 0;
  }
  int ZODuruvViewStop(int handle, int channel) override { return Log("ViewStop", handle, channel); }
  int ZODuruvViewClose(int handle, int channel) override { return Log("ViewClose", handle, channel); }
  int ZODuruvViewOpen(int handle, int channel, const char* a) override {
    Log("ViewOpen", handle, channel);
    address = a ? QString::fromUtf8(a) : QStringLiteral("(null)");
    return openResult;
  }
  int ZODuruvViewStart(int handle, int channel) override { return Log("ViewStart", handle, channel); }
  int ZODuruvSetSize(int handle, int width, int height) override {
    lastSize = QSize(width, height);
    calls << QStringLiteral("SetSize %1 %2x%3").arg(handle).arg(width).arg(height);
    return 0;
  }
  int ZODuruvInvalidate() override {
    calls << QStringLiteral("Invalidate");
    return 0;
  }

 private:
  int Log(const char* name, int handle, int channel) {
    calls << QStringLiteral("%1 %2 %3").arg(name).arg(handle).arg(channel);
    return 0;
  }
};
