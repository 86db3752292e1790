#include "screens/account/ufrmWithdrawInfo.h"

#include "model/uCommonFunc.h"
#include "model/uCommonVarConst.h"
#include "screens/account/ufrmWithdrawRequest.h"

#include <QScreen>
#include <QShowEvent>

namespace {
TRequestListLayout withdrawLayout() {
    return {
        "frmWithdrawInfo",
        QStringLiteral("提现申请"),
        QSize(635, 447),
        "lv_withdraw",
        "btn_WithdrawRequest",
        QStringLiteral("提交提现申请"),
        "btn_refreshwithdraw",
        QStringLiteral("刷新提现申请列表"),
        {{QStringLiteral("ID"), 50},
         {QStringLiteral("提现金额"), 100},
         {QStringLiteral("申请时间"), 140},
         {QStringLiteral("处理时间"), 140},
         {QStringLiteral("状态"), 80}},
        cmGetWithdrawList,
        QStringLiteral("获取提现申请列表失败，请稍后再试！"),
        [](const TReplyObject& record) {
            TWithdrawInfo info;
            ReadWithdrawInfo(record, info);
            return QStringList{FormatMoney(info.Fmoney), info.Faddtime,
                               RequestHandleTimeText(info.Fstatus, info.Fhandletime),
                               WithdrawStatusName(info.Fstatus)};
        },
    };
}
} // namespace

TfrmWithdrawInfo::TfrmWithdrawInfo(const TServices& services, QWidget* parent)
    : TRequestListDialog(services, parent, withdrawLayout()), lv_withdraw(list()),
      btn_WithdrawRequest(FRequestButton), btn_refreshwithdraw(FRefreshButton) {}

// This list stands in the middle of the desktop rather than over its owner.
void TfrmWithdrawInfo::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    TRequestListDialog::showEvent(event);
}

void TfrmWithdrawInfo::runRequestDialog() {
    TfrmWithdrawRequest dialog(FServices, this);
    dialog.exec();
}
