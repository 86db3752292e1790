#include "screens/account/uRequestListDialog.h"

#include "shell/udmResource.h"
#include "widgets/ListView.h"
#include "widgets/RequestQueue.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

TRequestListDialog::TRequestListDialog(const TServices& services, QWidget* parent, const TRequestListLayout& layout)
    : QDialog(parent), FServices(services), FColumns(layout.columns) {
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(layout.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(layout.size);

    auto* pages = new QTabWidget(this);
    auto* page = new QWidget(pages);
    pages->addTab(page, layout.caption);

    auto toolButton = [page](const char* name, const QString& hint, QStyle::StandardPixmap icon) {
        auto* button = new QToolButton(page);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        button->setIcon(StandardIcon(icon));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        return button;
    };
    FRequestButton = toolButton(layout.requestButtonName, layout.requestHint, QStyle::SP_FileDialogNewFolder);
    FRefreshButton = toolButton(layout.refreshButtonName, layout.refreshHint, QStyle::SP_BrowserReload);

    FList = new ListView(QString::fromLatin1(layout.listName), page);
    FList->horizontalHeader()->setStretchLastSection(true);
    FBar = new TPageNavigationBar(page);

    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(FRequestButton);
    top->addWidget(FRefreshButton);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(top);
    pageLayout->addWidget(FList, 1);
    pageLayout->addWidget(FBar);

    auto* btn_Close = new QPushButton(QStringLiteral("关闭窗口"), this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btn_Close);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(pages, 1);
    outer->addLayout(bottom);

    m_requests = new RequestQueue(this);
    TPagedListConfig config;
    config.command = layout.command;
    config.failurePrefix = layout.failurePrefix;
    config.clearRows = [this] { clearRecords(); };
    config.addRows = [this](const TReplyObject& reply) { addRecords(reply); };
    FPaging = new TPagedList(this, services, FBar, std::move(config), *m_requests);

    connect(FRefreshButton, &QToolButton::clicked, FPaging, &TPagedList::Fetch);
    connect(FRequestButton, &QToolButton::clicked, this, &TRequestListDialog::requestClicked);
    connect(btn_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void TRequestListDialog::setRecords(ListModel* model) {
    FList->setModel(model);
    FList->setColumns(FColumns);
}

void TRequestListDialog::requestClicked() {
    runRequestDialog();
    FRefreshButton->click();
}
