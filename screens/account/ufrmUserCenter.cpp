#include "screens/account/ufrmUserCenter.h"

TfrmUserCenter::TfrmUserCenter(const TServices& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmUserCenter"));
    setWindowTitle(QStringLiteral("个人资料"));
}
