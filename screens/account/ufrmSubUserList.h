#pragma once
// The downline list: the users whom the signed-in user invited, a page at a time
// (cmGetSubUserList). Unlike the other lists it reports a refusal, without the server's text.
#include "model/uCommonVarConst.h"
#include "screens/tasks/uPagedList.h"

#include <QDialog>

class ListView;
class RequestQueue;

class TfrmSubUserList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSubUserList(const TServices& services, QWidget* parent = nullptr);

    TPagedList* paging() const { return FPaging; }

public slots:
    void GetSubUserList() { FPaging->Fetch(); }

private:
    const TServices& FServices;
    RecordTableModel<TSubUserInfo>* m_users;
    ListView* lv_user;
    RequestQueue* m_requests;
    TPagedList* FPaging;
};
