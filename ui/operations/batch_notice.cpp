#include "ui/operations/batch_notice.h"

#include "core/language/language.h"
#include "ui/controls/dlg_tip.h"

void ShowBatchNotice(const char* key) {
  ShowTipBox(Text(QString::fromLatin1(key)), Text(QStringLiteral("msg.Msg")), false, true, CDlgTip::kIconInformation);
}
