#pragma once
// Placeholder until the screen is built: the class name and constructor every caller uses.
#include "remote/uRemoteCall.h"

#include <QDialog>

class TfrmWithdrawInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWithdrawInfo(const TServices& services, QWidget* parent = nullptr);

private:
    const TServices& FServices;
};
