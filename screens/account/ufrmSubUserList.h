#pragma once
// The downline list: the users whom the signed-in user invited, a page at a time
// (cmGetSubUserList). Unlike the other lists it reports a refusal, without the server's text.
#include "model/uCommonVarConst.h"
#include "widgets/PagedList.h"

#include <QDialog>

class ListView;
class RequestQueue;

class TfrmSubUserList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSubUserList(const Services& services, QWidget* parent = nullptr);

    PagedList* paging() const { return FPaging; }

public slots:
    void GetSubUserList() { FPaging->Fetch(); }

private:
    const Services& FServices;
    RecordTableModel<TSubUserInfo>* m_users;
    ListView* lv_user;
    RequestQueue* m_requests;
    PagedList* FPaging;
};
