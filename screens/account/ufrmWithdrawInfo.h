#pragma once
// The withdrawal list: the user's withdrawal requests with their review state, a page at a time
// (cmGetWithdrawList), and the way to the withdrawal request dialog.
#include "model/uCommonVarConst.h"
#include "screens/account/RequestListDialog.h"

class TfrmWithdrawInfo : public RequestListDialog {
    Q_OBJECT
public:
    explicit TfrmWithdrawInfo(const Services& services, QWidget* parent = nullptr);

public slots:
    void GetWithdrawList() { paging()->Fetch(); }
    void btn_refreshwithdrawClick() { GetWithdrawList(); }
    // Opens the request dialog; after it closes, presses btn_refreshwithdraw.
    void btn_WithdrawRequestClick() { requestClicked(); }
    void btn_CloseClick() { reject(); }

protected:
    void showEvent(QShowEvent* event) override;
    void clearRecords() override { m_requests->clear(); }
    void addRecords(const ReplyObject& reply) override;
    void runRequestDialog() override;

private:
    RecordTableModel<TWithdrawInfo>* m_requests;
};
