#include "screens/account/uLogScreen.h"
#include "model/uAccountInput.h"
#include "shell/udmResource.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

TLogScreen::TLogScreen(const TServices& services, QWidget* parent, const TLogScreenLayout& layout)
    : QWidget(parent), FServices(services) {
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(layout.caption);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    top->setFixedHeight(73);
    auto* picture = new QLabel(top);
    picture->setObjectName(QStringLiteral("img_Top"));
    picture->setFixedSize(64, 64);
    picture->setAccessibleName(layout.caption);
    picture->setPixmap(StandardIcon(QStyle::SP_FileDialogDetailedView).pixmap(64, 64));
    auto* title = new QLabel(layout.title, top);
    title->setObjectName(QStringLiteral("lbl_Title"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(16);
    title->setFont(titleFont);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(6, 4, 6, 4);
    topLayout->addWidget(picture);
    topLayout->addWidget(title, 1);

    FList = new TListView(QString::fromLatin1(layout.listName), this);
    FList->setColumns(layout.columns);
    FList->horizontalHeader()->setStretchLastSection(true);
    FList->setFrameShape(QFrame::NoFrame);
    FList->setColumnColours(layout.boldGreenColumn, -1);
    FList->setHandCursor(true);
    FList->setIconSize(QSize(16, 16));
    PopupMenu1 = new QMenu(FList);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N_N1 = PopupMenu1->addAction(QStringLiteral("刷新"));
    N_N1->setObjectName(QStringLiteral("N_N1"));
    connect(FList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(FList->viewport()->mapToGlobal(at)); });
    connect(N_N1, &QAction::triggered, this, &TLogScreen::N_N1Click);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    bottom->setFixedHeight(41);
    auto* taskLabel = new QLabel(QStringLiteral("任务ID："), bottom);
    edt_TASKID = new QLineEdit(bottom);
    edt_TASKID->setObjectName(QStringLiteral("edt_TASKID"));
    edt_TASKID->setPlaceholderText(QStringLiteral("输入待查找的任务ID"));
    edt_TASKID->setFixedWidth(180);
    taskLabel->setBuddy(edt_TASKID);
    btn_Search = new QPushButton(QStringLiteral("查找"), bottom);
    btn_Search->setObjectName(QStringLiteral("btn_Search"));
    FBar = new TPageNavigationBar(bottom);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(6, 0, 0, 0);
    bottomLayout->addWidget(taskLabel);
    bottomLayout->addWidget(edt_TASKID);
    bottomLayout->addWidget(btn_Search);
    bottomLayout->addWidget(FBar, 1);
    connect(btn_Search, &QPushButton::clicked, this, &TLogScreen::btn_SearchClick);
    connect(edt_TASKID, &QLineEdit::returnPressed, btn_Search, &QPushButton::click);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(top);
    outer->addWidget(FList, 1);
    outer->addWidget(bottom);

    TPagedListConfig config;
    config.command = layout.command;
    config.failurePrefix = layout.failurePrefix;
    config.clearRows = [this] {
        FList->clearRows();
        clearRecords();
    };
    config.addRows = [this](const TReplyObject& reply) { addRecords(reply); };
    FPaging = new TPagedList(this, services, FBar, std::move(config));
}

void TLogScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FPaging->StartLoadTimer();
}

void TLogScreen::appendRow(const QStringList& cells) {
    QStringList row = cells;
    row.prepend(QString());
    const int index = FList->addRow(row, FList->rowCount());
    FList->item(index, 0)->setIcon(StandardIcon(QStyle::SP_FileIcon));
}

void TLogScreen::btn_SearchClick() {
    const QString wanted = TrimControls(edt_TASKID->text());
    const int rows = FList->rowCount();
    QList<bool> matches;
    for (int row = 0; row < rows; ++row)
        matches.append(wanted.isEmpty() || rowTaskId(row).contains(wanted, Qt::CaseInsensitive));
    if (!wanted.isEmpty() && !matches.contains(true)) {
        for (int row = 0; row < rows; ++row) FList->setRowHidden(row, false);
        ShowHint(FServices.prompter, this, QStringLiteral("本页没有找到该任务ID的记录！"));
        return;
    }
    for (int row = 0; row < rows; ++row) FList->setRowHidden(row, !matches[row]);
}
