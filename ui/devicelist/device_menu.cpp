#include "ui/devicelist/device_menu.h"

#include <QCursor>
#include <QMenu>

#include "core/language/language.h"
#include "ui/framework/modal_seam.h"
#include "ui/devicelist/device_columns.h"

std::vector<DeviceMenuEntry> DeviceMenuEntries(const DeviceRecord& record, int column, bool modifyModelMode) {
  std::vector<DeviceMenuEntry> entries;
  entries.push_back({kMenuLogin, "msg.Login", false});
  entries.push_back({kMenuNetwork, "tx.NetworkModify", false});
  if (record.onvifCapable != 0) {
    entries.push_back({kMenuNone, "tx.Preview", false});
    entries.push_back({kMenuMainStream, "tx.Main_stream", true});
    entries.push_back({kMenuSubStream, "tx.Sub_stream", true});
  }
  entries.push_back({kMenuOpenWeb, "tx.Open_web", false});
  entries.push_back({kMenuExport, "tx.Export", false});
  if (modifyModelMode && record.CanRenameModel()) entries.push_back({kMenuModifyModel, "tx.Modify_model", false});
  if (column != kColLoginState) entries.push_back({kMenuCopy, "tx.Copy", false});
  return entries;
}

void BuildDeviceMenu(QMenu& menu, const std::vector<DeviceMenuEntry>& entries) {
  QMenu* submenu = nullptr;
  for (const DeviceMenuEntry& e : entries) {
    const QString text = Text(QString::fromLatin1(e.textKey));
    if (e.id == kMenuNone) {
      submenu = menu.addMenu(text);
      continue;
    }
    QAction* action = (e.inSubmenu && submenu ? submenu : &menu)->addAction(text);
    action->setData(e.id);
  }
}

QString DescribeDeviceMenu(const std::vector<DeviceMenuEntry>& entries) {
  QStringList lines;
  for (const DeviceMenuEntry& e : entries) {
    const QString text = Text(QString::fromLatin1(e.textKey));
    if (e.id == kMenuNone)
      lines << text + QStringLiteral(" >");
    else
      lines << QStringLiteral("%1%2 %3").arg(e.inSubmenu ? QStringLiteral("  ") : QString()).arg(e.id).arg(text);
  }
  return lines.join('\n');
}

int TrackDeviceMenu(QWidget* owner, const std::vector<DeviceMenuEntry>& entries) {
  QMenu menu(owner);
  BuildDeviceMenu(menu, entries);
  modal::ModalRequest request;
  request.kind = QStringLiteral("menu");
  request.text = DescribeDeviceMenu(entries);
  request.defaultResult = kMenuNone;
  // The menu is destroyed when this returns, before the chosen command runs.
  return modal::Run(request, [&menu] {
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : static_cast<int>(kMenuNone);
  });
}

QString ExportFileName(const QString& versionText, const QDateTime& localTime) {
  const qsizetype build = versionText.indexOf(QStringLiteral("Build:"));
  QString prefix = build >= 0 ? versionText.left(build) : QString();
  prefix.replace(QLatin1Char('/'), QLatin1Char('_'));
  const QDate d = localTime.date();
  const QTime t = localTime.time();
  return prefix + QLatin1Char('.') +
         QString::asprintf("%04d%02d%02d%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                           t.second());
}
