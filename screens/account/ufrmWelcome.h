#pragma once
// Placeholder until the screen is built: the class name and constructor every caller uses.
#include "remote/uRemoteCall.h"

#include <QWidget>

class TfrmWelcome : public QWidget {
    Q_OBJECT
public:
    explicit TfrmWelcome(const TServices& services, QWidget* parent = nullptr);

public slots:
    // Reloads the dashboard figures (cmGetBasicInfo).
    void GetBasicInfo() {}

private:
    const TServices& FServices;
};
