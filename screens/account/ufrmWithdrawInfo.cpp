#include "screens/account/ufrmWithdrawInfo.h"

TfrmWithdrawInfo::TfrmWithdrawInfo(const TServices& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmWithdrawInfo"));
    setWindowTitle(QStringLiteral("提现申请"));
}
