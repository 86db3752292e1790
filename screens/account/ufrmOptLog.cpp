#include "screens/account/ufrmOptLog.h"

#include "model/uOptLogManagerClass.h"
#include "model/uRecordReader.h"

TfrmOptLog::TfrmOptLog(const TServices& services, QWidget* parent)
    : TLogScreen(services, parent,
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
      lv_OptLog(list()) {}

void TfrmOptLog::clearRecords() {
    OptLogManager.ClearOptLogInfo();
    FRecords.clear();
}

void TfrmOptLog::addRecords(const TReplyObject& reply) {
    ReadRecordList<TOptLog>(reply, ReadOptLog, [this](TOptLog&& log) {
        FRecords.push_back(std::make_unique<TOptLog>(std::move(log)));
        TOptLog& record = *FRecords.back();
        OptLogManager.AddOptLog(&record);
        appendRow({record.Ftaskid, record.Faction, FormatDateTime(record.Faddtime), record.Fmarks});
    });
}

const TOptLog* TfrmOptLog::rowRecord(int row) const { return recordOfRow(FRecords, row); }

QString TfrmOptLog::rowTaskId(int row) const {
    const TOptLog* record = rowRecord(row);
    return record ? record->Ftaskid : QString();
}
