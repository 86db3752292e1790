#include "screens/account/ufrmWithdrawInfo.h"

#include "model/uCommonFunc.h"
#include "screens/account/ufrmWithdrawRequest.h"

#include <QScreen>
#include <QShowEvent>

namespace {
RequestListLayout withdrawLayout() {
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
    };
}
} // namespace

TfrmWithdrawInfo::TfrmWithdrawInfo(const Services& services, QWidget* parent)
    : RequestListDialog(services, parent, withdrawLayout()),
      m_requests(new RecordTableModel<TWithdrawInfo>(columns(), {}, this)) {
    setRecords(m_requests);
}

// This list stands in the middle of the desktop rather than over its owner.
void TfrmWithdrawInfo::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    RequestListDialog::showEvent(event);
}

void TfrmWithdrawInfo::addRecords(const ReplyObject& reply) {
    for (const ReplyObject* record : ReplyRecords(reply)) {
        TWithdrawInfo info;
        ReadWithdrawInfo(*record, info);
        QStringList cells{QString::number(m_requests->rowCount() + 1), FormatMoney(info.Fmoney), info.Faddtime,
                          RequestHandleTimeText(info.Fstatus, info.Fhandletime), WithdrawStatusName(info.Fstatus)};
        m_requests->append(std::move(info), std::move(cells));
    }
}

void TfrmWithdrawInfo::runRequestDialog() {
    TfrmWithdrawRequest dialog(m_services, this);
    dialog.exec();
}
