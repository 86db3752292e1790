#include "screens/account/ufrmWelcome.h"

TfrmWelcome::TfrmWelcome(const TServices& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmWelcome"));
    setWindowTitle(QStringLiteral("任务首页"));
}
