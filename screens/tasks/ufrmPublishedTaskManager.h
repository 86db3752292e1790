#pragma once
// Placeholder until the screen is built: the class name and constructor every caller uses.
#include "remote/uRemoteCall.h"

#include <QWidget>

class TfrmPublishedTaskManager : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPublishedTaskManager(const TServices& services, QWidget* parent = nullptr);

signals:
    // A deletion returned task money to the balance: the dashboard should reload its figures.
    void requestDashboardRefresh();

private:
    const TServices& FServices;
};
