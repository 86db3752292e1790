#include "shell/ufrmNotice.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

QStringList TfrmNotice::NoticeLines() {
    return {
        QStringLiteral("一、严禁通过旺旺联系对方并带有平台，刷钻，刷信誉等忌讳字眼；"),
        QStringLiteral("    (请使用QQ联系对方)，发布绑定以外的店铺直接封号处理"),
        QString(),
        QStringLiteral("二、禁止以任何理由给对方差评及非100%好评等行为；"),
        QString(),
        QStringLiteral("三、严禁好评乱写评语，广告评语或恶意乱写评语；"),
        QString(),
        QStringLiteral("四、禁止在发布一个任务却以各种理由让接手方拍淘宝多个商品/链"),
        QStringLiteral("接；"),
        QStringLiteral("    禁止发布同一件产品，禁止要求多拍！出现问题一律自行负责"),
        QString(),
        QStringLiteral("五、禁止接手人使用淘宝客链接赚取佣金以及使用信用卡购买任务商"),
        QStringLiteral("品；"),
    };
}

namespace {
QFrame* rule(QWidget* parent, int y) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(14, y, 398, 2);
    return line;
}
} // namespace

TfrmNotice::TfrmNotice(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNotice"));
    setWindowTitle(QStringLiteral("重要提示"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(426, 403);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("#frmNotice { background: white; border: 1px solid #398DEE; }"));

    rule(this, 14);
    lbl_Title = new QLabel(QStringLiteral(" [ 重点提醒 ] "), this);
    lbl_Title->setObjectName(QStringLiteral("lbl_Title"));
    lbl_Title->setGeometry(14, 20, 398, 24);
    lbl_Title->setAlignment(Qt::AlignCenter);
    lbl_Title->setStyleSheet(QStringLiteral("color: #0066CC; font-weight: bold; font-size: 13px;"));
    rule(this, 50);

    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(14, 60, 397, 286);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RichEdit1->setPlainText(NoticeLines().join(u'\n'));

    btn_OK = new QPushButton(QStringLiteral("确定(&Y)"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setGeometry(163, 358, 100, 32);
    btn_OK->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    btn_OK->setDefault(true);
    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
}
