#include "screens/account/ufrmInviteInfo.h"

TfrmInviteInfo::TfrmInviteInfo(const TServices& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmInviteInfo"));
    setWindowTitle(QStringLiteral("邀请好友"));
}
