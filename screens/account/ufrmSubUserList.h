#pragma once
// The downline list: the users whom the signed-in user invited, a page at a time
// (cmGetSubUserList). Unlike the other lists it reports a refusal, without the server's text.
#include "screens/tasks/uPagedList.h"

#include <QDialog>

class QLabel;

class TfrmSubUserList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSubUserList(const TServices& services, QWidget* parent = nullptr);

    QLabel* lbl_username;
    TListView* lv_user;
    TPageNavigationBar* navigationBar;
    TPagedList* paging;

public slots:
    void GetSubUserList() { paging->Fetch(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const TServices& FServices;
};
