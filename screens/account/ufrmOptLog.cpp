#include "screens/account/ufrmOptLog.h"

TfrmOptLog::TfrmOptLog(const TServices& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmOptLog"));
    setWindowTitle(QStringLiteral("操作日志"));
}
