#include "screens/account/ufrmSubUserList.h"

TfrmSubUserList::TfrmSubUserList(const TServices& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmSubUserList"));
    setWindowTitle(QStringLiteral("我的下线"));
}
