#include "screens/account/ufrmRechargeInfo.h"

TfrmRechargeInfo::TfrmRechargeInfo(const TServices& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmRechargeInfo"));
    setWindowTitle(QStringLiteral("充值申请"));
}
