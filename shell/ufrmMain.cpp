#include "shell/ufrmMain.h"

#include "shell/uSingleInstance.h"

TfrmMain::TfrmMain(const TServices& services, TSingleInstance& instance, QWidget* parent)
    : QMainWindow(parent), FServices(services), FInstance(instance) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    resize(1024, 700);
}
