#pragma once
// The about dialog: product name, version, web site and rights line.
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* lbl_version;
    QLabel* lbl_homepage;
    QLabel* lbl_copyright;
    QPushButton* btn_Yes;
};
