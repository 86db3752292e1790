#pragma once
// Placeholder until the screen is built: the class name and constructor every caller uses.
#include "remote/uRemoteCall.h"

#include <QWidget>

class TfrmTaskCenter : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTaskCenter(const TServices& services, QWidget* parent = nullptr);

private:
    const TServices& FServices;
};
