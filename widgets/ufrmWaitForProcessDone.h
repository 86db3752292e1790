#pragma once
// The modal wait dialog shown while a remote call's worker runs. It starts the worker when it is
// shown and closes only on the completion posted by that worker; the user cannot close it.
#include <QDialog>
#include <functional>

class QLabel;
class QTimer;

// The turning picture of the wait dialog.
class WindupImage : public QWidget {
    Q_OBJECT
public:
    explicit WindupImage(QWidget* parent = nullptr);
    void start(int speedPercent);
    void stop();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer;
    int m_angle = 0;
};

class TfrmWaitForProcessDone : public QDialog {
    Q_OBJECT
public:
    // `AThread` is called once, when the dialog is first shown.
    TfrmWaitForProcessDone(QWidget* AOwner, std::function<void()> AThread, const QString& strMsg);

    // Posted by the worker as its last act (queued onto the user-interface thread).
    Q_INVOKABLE void OnWM_WaitForProcessDone();

    void reject() override; // Esc does nothing

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FormShow();

    std::function<void()> FThread;
    QString FMsg;
    bool FDone = false;
    bool FDragging = false;
    QPoint FDragOffset;
    QLabel* lbl_Msg;
    WindupImage* img_Windup;
};

// The channel's wait on the desktop (ChannelWait, remote/uHttpClient.h): the modal wait dialog over
// `owner` with "命令正在执行，请耐心等待......", which starts the worker when it shows and closes on the
// worker's completion.
void ShowWaitDialog(QWidget* owner, const std::function<void(std::function<void()> finished)>& start);
