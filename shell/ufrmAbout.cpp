#include "shell/ufrmAbout.h"

#include "model/uVarConst.h"
#include "remote/uCommandCatalogue.h"
#include "widgets/udmResource.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于程序"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(421, 282);

    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("pnl_Top"));
    band->setGeometry(0, 0, 421, 73);
    band->setStyleSheet(QStringLiteral("#pnl_Top { background: #398DEE; }"));
    auto* picture = new QLabel(band);
    picture->setObjectName(QStringLiteral("img_Logo"));
    picture->setGeometry(12, 4, 64, 64);
    picture->setPixmap(AboutPixmap());
    picture->setAccessibleName(ProductName);
    auto* name = new QLabel(ProductName, band);
    name->setObjectName(QStringLiteral("lbl_ProductName"));
    name->setGeometry(180, 0, 229, 73);
    name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    name->setStyleSheet(QStringLiteral("color: #FFF8DC; font-weight: bold; font-size: 21px; background: transparent;"));

    lbl_version = new QLabel(QStringLiteral("当前版本：") + ClientVersionText(), this);
    lbl_version->setObjectName(QStringLiteral("lbl_version"));
    lbl_version->setGeometry(30, 92, 360, 24);

    lbl_homepage = new QLabel(QStringLiteral("网站首页：") + SiteAddress(), this);
    lbl_homepage->setObjectName(QStringLiteral("lbl_homepage"));
    lbl_homepage->setGeometry(30, 122, 360, 24);
    lbl_homepage->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lbl_copyright = new QLabel(QStringLiteral("版权所有 © 2016 Quorvane 开发团队，保留所有权利。"), this);
    lbl_copyright->setObjectName(QStringLiteral("lbl_copyright"));
    lbl_copyright->setGeometry(30, 152, 360, 24);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(10, 216, 401, 2);

    btn_Yes = new QPushButton(QStringLiteral("确定(&Y)"), this);
    btn_Yes->setObjectName(QStringLiteral("btn_Yes"));
    btn_Yes->setGeometry(311, 234, 100, 32);
    btn_Yes->setDefault(true);
    connect(btn_Yes, &QPushButton::clicked, this, &QDialog::accept);
}
