#include "widgets/ufrmWaitForProcessDone.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

WindupImage::WindupImage(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("img_Windup"));
    setFixedSize(48, 48);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void WindupImage::start(int speedPercent) { m_timer->start(qMax(10, 100 * 100 / qMax(1, speedPercent))); }

void WindupImage::stop() { m_timer->stop(); }

void WindupImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(24, 24);
    painter.rotate(m_angle);
    for (int i = 0; i < 12; ++i) {
        QColor colour(255, 255, 255);
        colour.setAlpha(40 + i * 18);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(12, -2.5, 10, 5), 2.5, 2.5);
        painter.rotate(30);
    }
}

TfrmWaitForProcessDone::TfrmWaitForProcessDone(QWidget* AOwner, std::function<void()> AThread, const QString& strMsg)
    : QDialog(AOwner, Qt::Dialog | Qt::FramelessWindowHint), FThread(std::move(AThread)), FMsg(strMsg) {
    setObjectName(QStringLiteral("frmWaitForProcessDone"));
    setWindowTitle(QStringLiteral("操作正在进行，请耐心等待......"));
    setFixedSize(383, 94);
    setModal(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x87, 0xCE, 0xEB)); // sky blue
    setPalette(palette);

    img_Windup = new WindupImage(this);
    img_Windup->move(26, 23);

    lbl_Msg = new QLabel(QStringLiteral("操作正在执行，请耐心等待....."), this);
    lbl_Msg->setObjectName(QStringLiteral("lbl_Msg"));
    QFont font = lbl_Msg->font();
    font.setBold(true);
    font.setPixelSize(12);
    lbl_Msg->setFont(font);
    lbl_Msg->setStyleSheet(QStringLiteral("color: #800000; background: transparent;"));
    lbl_Msg->move(96, 40);
    lbl_Msg->resize(280, 18);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmWaitForProcessDone::FormShow() {
    lbl_Msg->setText(FMsg);
    img_Windup->start(500);
    if (FThread) {
        auto start = std::move(FThread);
        FThread = nullptr;
        start();
    }
}

void TfrmWaitForProcessDone::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmWaitForProcessDone::OnWM_WaitForProcessDone() {
    FDone = true;
    img_Windup->stop();
    QDialog::done(QDialog::Accepted);
}

void TfrmWaitForProcessDone::reject() {
    if (FDone) QDialog::reject();
}

void TfrmWaitForProcessDone::closeEvent(QCloseEvent* event) {
    if (FDone)
        event->accept();
    else
        event->ignore();
}

void TfrmWaitForProcessDone::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FDragging = true;
        FDragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void TfrmWaitForProcessDone::mouseMoveEvent(QMouseEvent* event) {
    if (FDragging && (event->buttons() & Qt::LeftButton)) move(event->globalPosition().toPoint() - FDragOffset);
    QDialog::mouseMoveEvent(event);
}

void TfrmWaitForProcessDone::mouseReleaseEvent(QMouseEvent* event) {
    FDragging = false;
    QDialog::mouseReleaseEvent(event);
}

void ShowWaitDialog(QWidget* owner, const std::function<void(std::function<void()> finished)>& start) {
    // The completion is posted to this call's own dialog, which then closes and ends the modal showing.
    TfrmWaitForProcessDone* dialog = nullptr;
    TfrmWaitForProcessDone waitDialog(
        owner,
        [&dialog, &start] {
            TfrmWaitForProcessDone* target = dialog;
            start([target] { QMetaObject::invokeMethod(target, "OnWM_WaitForProcessDone", Qt::QueuedConnection); });
        },
        QStringLiteral("命令正在执行，请耐心等待......"));
    dialog = &waitDialog;
    waitDialog.exec();
}
