#pragma once
// The main window.
#include "remote/uRemoteCall.h"

#include <QMainWindow>

class TSingleInstance;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain(const TServices& services, TSingleInstance& instance, QWidget* parent = nullptr);

private:
    const TServices& FServices;
    TSingleInstance& FInstance;
};
