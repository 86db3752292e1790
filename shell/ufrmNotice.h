#pragma once
// The important-notice dialog: frameless, white, always on top. The same object is shown without
// blocking after login and modally from the menu item "注意事项".
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfrmNotice : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNotice(QWidget* parent = nullptr);

    // The notice's thirteen lines, blank lines included.
    static QStringList NoticeLines();

    QLabel* lbl_Title;
    QPlainTextEdit* RichEdit1;
    QPushButton* btn_OK;
};
