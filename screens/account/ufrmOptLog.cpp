#include "screens/account/ufrmOptLog.h"

#include "model/uRecordReader.h"

TfrmOptLog::TfrmOptLog(const Services& services, QWidget* parent)
    : LogScreen(services, parent,
                {"frmOptLog",
                 QStringLiteral("操作日志"),
                 QStringLiteral("方便随时查看自己的操作记录"),
                 "lv_OptLog",
                 {{QStringLiteral("ID"), 50},
                  {QStringLiteral("任务编号"), 150, Qt::AlignCenter},
                  {QStringLiteral("动作"), 200, Qt::AlignCenter},
                  {QStringLiteral("添加时间"), 200, Qt::AlignCenter},
                  {QStringLiteral("备注"), 150, Qt::AlignCenter}},
                 1,
                 cmGetOptLogList,
                 QStringLiteral("获取操作记录列表失败，请稍后再试！")}),
      m_logs(new RecordTableModel<TOptLog>(
          columns(), [](const TOptLog& log) { return log.Ftaskid; }, this)) {
    setRecords(m_logs);
}

void TfrmOptLog::clearRecords() { m_logs->clear(); }

void TfrmOptLog::addRecords(const ReplyObject& reply) {
    ReadRecordList<TOptLog>(reply, ReadOptLog, [this](TOptLog&& log) {
        QStringList cells{QString(), log.Ftaskid, log.Faction, FormatDateTime(log.Faddtime), log.Fmarks};
        m_logs->append(std::move(log), std::move(cells));
    });
}
