#pragma once
// The trade log: every movement of the account's money, a page at a time (cmGetTradeLogList).
// Embedded in the main window; loads its current page each time it is shown.
#include "model/uCommonVarConst.h"
#include "screens/account/uLogScreen.h"

#include <memory>
#include <vector>

// The cells of a trade entry under "存入金额" and "冻结金额": the amount with its sign in the column
// of its direction; a direction other than mtIn and mtOut leaves both empty.
QStringList TradeLogAmountCells(const TTradeLog& log);

class TfrmTradeLog : public TLogScreen {
    Q_OBJECT
public:
    explicit TfrmTradeLog(const TServices& services, QWidget* parent = nullptr);

    TListView* lv_trade;
    // The record of a row (owned by the screen until the next fetch), or nullptr.
    const TTradeLog* rowRecord(int row) const;

public slots:
    void GetTradeLogList() { paging()->Fetch(); }

protected:
    void clearRecords() override { FRecords.clear(); }
    void addRecords(const TReplyObject& reply) override;
    QString rowTaskId(int row) const override;

private:
    std::vector<std::unique_ptr<TTradeLog>> FRecords;
};
