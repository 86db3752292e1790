#include "screens/tasks/ufrmTaskCenter.h"

TfrmTaskCenter::TfrmTaskCenter(const TServices& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmTaskCenter"));
    setWindowTitle(QStringLiteral("任务大厅"));
}
