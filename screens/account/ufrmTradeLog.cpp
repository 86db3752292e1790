#include "screens/account/ufrmTradeLog.h"

#include "model/uCommonFunc.h"
#include "model/uRecordReader.h"

QStringList TradeLogAmountCells(const TTradeLog& log) {
    switch (log.Fmoneytype) {
    case mtIn: return {FormatMoney(log.Finmoney, u"+"), QString()};
    case mtOut: return {QString(), FormatMoney(log.Foutmoney, u"-")};
    }
    return {QString(), QString()};
}

TfrmTradeLog::TfrmTradeLog(const Services& services, QWidget* parent)
    : LogScreen(services, parent,
                {"frmTradeLog",
                 QStringLiteral("交易记录"),
                 QStringLiteral("所有的交易记录信息列表，任务接手、任务完成等详细信息"),
                 "lv_trade",
                 {{QStringLiteral("ID"), 50},
                  {QStringLiteral("事件"), 150, Qt::AlignCenter},
                  {QStringLiteral("存入金额"), 120, Qt::AlignCenter},
                  {QStringLiteral("冻结金额"), 120, Qt::AlignCenter},
                  {QStringLiteral("当前可用余额"), 120},
                  {QStringLiteral("时间"), 150, Qt::AlignCenter}},
                 4,
                 cmGetTradeLogList,
                 QStringLiteral("获取交易记录列表失败，请稍后再试！")}),
      m_logs(new RecordTableModel<TTradeLog>(
          columns(), [](const TTradeLog& log) { return log.Ftaskid; }, this)) {
    setRecords(m_logs);
}

void TfrmTradeLog::addRecords(const ReplyObject& reply) {
    ReadRecordList<TTradeLog>(reply, ReadTradeLog, [this](TTradeLog&& log) {
        QStringList cells{QString(), log.Fmsg};
        cells += TradeLogAmountCells(log);
        cells << FormatMoney(log.Fcurrentmoney) << FormatDateTime(log.Faddtime);
        m_logs->append(std::move(log), std::move(cells));
    });
}
