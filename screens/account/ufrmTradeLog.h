#pragma once
// The trade log: every movement of the account's money, a page at a time (cmGetTradeLogList).
// Embedded in the main window; loads its current page each time it is shown anew.
#include "model/uCommonVarConst.h"
#include "screens/account/LogScreen.h"

#include <optional>

// The cells of a trade entry under "存入金额" and "冻结金额": the amount with its sign in the column
// of its direction; a direction other than mtIn and mtOut leaves both empty.
QStringList TradeLogAmountCells(const TTradeLog& log);

class TfrmTradeLog : public LogScreen {
    Q_OBJECT
public:
    explicit TfrmTradeLog(const Services& services, QWidget* parent = nullptr);

    // A copy of the record of a row of the page (before any search filter), or nothing.
    std::optional<TTradeLog> rowRecord(int row) const { return m_logs->record(row); }

public slots:
    void GetTradeLogList() { paging()->Fetch(); }

protected:
    void clearRecords() override { m_logs->clear(); }
    void addRecords(const ReplyObject& reply) override;

private:
    RecordTableModel<TTradeLog>* m_logs;
};
