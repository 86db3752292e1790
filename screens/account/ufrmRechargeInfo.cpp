#include "screens/account/ufrmRechargeInfo.h"

#include "screens/account/ufrmRechargeRequest.h"

namespace {
RequestListLayout rechargeLayout() {
    return {
        "frmRechargeInfo",
        QStringLiteral("充值申请"),
        QSize(617, 431),
        "lv_recharge",
        "btn_RechargeRequest",
        QStringLiteral("提交充值申请"),
        "btn_refreshrecharge",
        QStringLiteral("刷新充值申请列表"),
        {{QStringLiteral("ID"), 30},
         {QStringLiteral("充值金额"), 60},
         {QStringLiteral("充值方式"), 60},
         {QStringLiteral("充值交易单号"), 100},
         {QStringLiteral("申请时间"), 100},
         {QStringLiteral("处理时间"), 100},
         {QStringLiteral("状态"), 80}},
        cmGetRechargeList,
        QStringLiteral("获取充值申请列表失败，请稍后再试！"),
    };
}
} // namespace

TfrmRechargeInfo::TfrmRechargeInfo(const Services& services, QWidget* parent)
    : RequestListDialog(services, parent, rechargeLayout()),
      m_requests(new RecordTableModel<TRechargeInfo>(columns(), {}, this)) {
    setRecords(m_requests);
}

void TfrmRechargeInfo::addRecords(const ReplyObject& reply) {
    for (const ReplyObject* record : ReplyRecords(reply)) {
        TRechargeInfo info;
        ReadRechargeInfo(*record, info);
        QStringList cells{QString::number(m_requests->rowCount() + 1),
                          info.Fmoney,
                          info.Ftradetype,
                          info.Ftradeid,
                          info.Faddtime,
                          RequestHandleTimeText(info.Fstatus, info.Fhandletime),
                          RechargeStatusName(info.Fstatus)};
        m_requests->append(std::move(info), std::move(cells));
    }
}

void TfrmRechargeInfo::runRequestDialog() {
    TfrmRechargeRequest dialog(m_services, this);
    dialog.exec();
}
