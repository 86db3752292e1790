#pragma once
// The operation log: every operation the user made on a task, a page at a time (cmGetOptLogList).
// Embedded in the main window; loads its current page each time it is shown.
#include "model/uCommonVarConst.h"
#include "screens/account/uLogScreen.h"

#include <memory>
#include <vector>

class TfrmOptLog : public TLogScreen {
    Q_OBJECT
public:
    explicit TfrmOptLog(const TServices& services, QWidget* parent = nullptr);

    TListView* lv_OptLog;
    // The record of a row (owned by the screen until the next fetch), or nullptr.
    const TOptLog* rowRecord(int row) const;

public slots:
    void GetOptLogList() { paging()->Fetch(); }

protected:
    void clearRecords() override;
    void addRecords(const TReplyObject& reply) override;
    QString rowTaskId(int row) const override;

private:
    std::vector<std::unique_ptr<TOptLog>> FRecords;
};
