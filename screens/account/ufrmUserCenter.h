#pragma once
// Placeholder until the screen is built: the class name and constructor every caller uses.
#include "remote/uRemoteCall.h"

#include <QDialog>

class TfrmUserCenter : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUserCenter(const TServices& services, QWidget* parent = nullptr);

private:
    const TServices& FServices;
};
