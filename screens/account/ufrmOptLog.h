#pragma once
// The operation log: every operation the user made on a task, a page at a time (cmGetOptLogList).
// Embedded in the main window; loads its current page each time it is shown anew.
#include "model/uCommonVarConst.h"
#include "screens/account/LogScreen.h"

#include <optional>

class TfrmOptLog : public LogScreen {
    Q_OBJECT
public:
    explicit TfrmOptLog(const Services& services, QWidget* parent = nullptr);

    // A copy of the record of a row of the page (before any search filter), or nothing.
    std::optional<TOptLog> rowRecord(int row) const { return m_logs->record(row); }

public slots:
    void GetOptLogList() { paging()->Fetch(); }

protected:
    void clearRecords() override;
    void addRecords(const ReplyObject& reply) override;

private:
    RecordTableModel<TOptLog>* m_logs;
};
