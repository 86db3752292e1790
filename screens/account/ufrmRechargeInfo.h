#pragma once
// The recharge list: the user's recharge requests with their review state, a page at a time
// (cmGetRechargeList), and the way to the recharge request dialog.
#include "model/uCommonVarConst.h"
#include "screens/account/RequestListDialog.h"

class TfrmRechargeInfo : public RequestListDialog {
    Q_OBJECT
public:
    explicit TfrmRechargeInfo(const Services& services, QWidget* parent = nullptr);

public slots:
    void GetRechargeList() { paging()->Fetch(); }
    void btn_refreshrechargeClick() { GetRechargeList(); }
    // Opens the request dialog; after it closes, presses btn_refreshrecharge.
    void btn_RechargeRequestClick() { requestClicked(); }
    void btn_CloseClick() { reject(); }

protected:
    void clearRecords() override { m_requests->clear(); }
    void addRecords(const ReplyObject& reply) override;
    void runRequestDialog() override;

private:
    RecordTableModel<TRechargeInfo>* m_requests;
};
