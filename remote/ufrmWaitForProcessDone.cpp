#include "remote/ufrmWaitForProcessDone.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

TWindupImage::TWindupImage(QWidget* parent) : QWidget(parent), FTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("img_Windup"));
    setFixedSize(48, 48);
    connect(FTimer, &QTimer::timeout, this, [this] {
        FAngle = (FAngle + 30) % 360;
        update();
    });
}

void TWindupImage::start(int speedPercent) { FTimer->start(qMax(10, 100 * 100 / qMax(1, speedPercent))); }

void TWindupImage::stop() { FTimer->stop(); }

void TWindupImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(24, 24);
    painter.rotate(FAngle);
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

    img_Windup = new TWindupImage(this);
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
