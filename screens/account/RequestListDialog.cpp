#include "screens/account/RequestListDialog.h"

#include "widgets/ListView.h"
#include "widgets/RequestQueue.h"
#include "widgets/udmResource.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

RequestListDialog::RequestListDialog(const Services& services, QWidget* parent, const RequestListLayout& layout)
    : QDialog(parent), m_services(services), m_columns(layout.columns) {
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
    m_requestButton = toolButton(layout.requestButtonName, layout.requestHint, QStyle::SP_FileDialogNewFolder);
    m_refreshButton = toolButton(layout.refreshButtonName, layout.refreshHint, QStyle::SP_BrowserReload);

    m_list = new ListView(QString::fromLatin1(layout.listName), page);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_bar = new PageNavigationBar(page);

    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(m_requestButton);
    top->addWidget(m_refreshButton);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(top);
    pageLayout->addWidget(m_list, 1);
    pageLayout->addWidget(m_bar);

    auto* btn_Close = new QPushButton(QStringLiteral("关闭窗口"), this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btn_Close);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(pages, 1);
    outer->addLayout(bottom);

    m_requests = new RequestQueue(this);
    PagedListConfig config;
    config.command = layout.command;
    config.failurePrefix = layout.failurePrefix;
    config.clearRows = [this] { clearRecords(); };
    config.addRows = [this](const ReplyObject& reply) { addRecords(reply); };
    m_paging = new PagedList(this, services, m_bar, std::move(config), *m_requests);

    connect(m_refreshButton, &QToolButton::clicked, m_paging, &PagedList::Fetch);
    connect(m_requestButton, &QToolButton::clicked, this, &RequestListDialog::requestClicked);
    connect(btn_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void RequestListDialog::setRecords(ListModel* model) {
    m_list->setModel(model);
    m_list->setColumns(m_columns);
}

void RequestListDialog::requestClicked() {
    runRequestDialog();
    m_refreshButton->click();
}
