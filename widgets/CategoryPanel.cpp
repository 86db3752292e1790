#include "widgets/CategoryPanel.h"

#include "widgets/ClickableAccessible.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

CategoryHeader::CategoryHeader(const QString& caption, const QPixmap& picture, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_picture(picture) {
    setFixedHeight(36);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(QStringLiteral("双击收起或展开项"));
    setAccessibleName(caption);
    setAccessibleDescription(QStringLiteral("双击收起或展开项"));
    setCursor(Qt::PointingHandCursor);
    ClickableAccessible::install();
}

void CategoryHeader::setCollapsed(bool collapsed) {
    m_collapsed = collapsed;
    update();
}

void CategoryHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    gradient.setColorAt(1, QColor(0xE2, 0xE6, 0xEB));
    painter.fillRect(rect(), gradient);
    painter.setPen(QColor(0xC8, 0xCD, 0xD3));
    painter.drawLine(0, height() - 1, width(), height() - 1);
    painter.drawPixmap(4, 2, 32, 32, m_picture);
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(QRect(42, 0, width() - 64, height()), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    // The fold mark at the right: pointing down when open, right when folded.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x66, 0x66, 0x66));
    const QPointF c(width() - 14, height() / 2.0);
    if (m_collapsed)
        painter.drawPolygon(QPolygonF({c + QPointF(-3, -5), c + QPointF(3, 0), c + QPointF(-3, 5)}));
    else
        painter.drawPolygon(QPolygonF({c + QPointF(-5, -3), c + QPointF(5, -3), c + QPointF(0, 3)}));
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0x39, 0x8D, 0xEE), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void CategoryHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) toggle();
}

void CategoryHeader::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        toggle();
        return;
    }
    QWidget::keyPressEvent(event);
}

CategoryPanel::CategoryPanel(const QString& objectName, const QString& caption, const QPixmap& picture, QWidget* parent)
    : QWidget(parent) {
    setObjectName(objectName);
    setAccessibleName(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new CategoryHeader(caption, picture, this);
    m_header->setObjectName(objectName + QStringLiteral("_header"));
    m_body = new QWidget(this);
    m_body->setObjectName(objectName + QStringLiteral("_body"));
    layout->addWidget(m_header);
    layout->addWidget(m_body);
    connect(m_header, &CategoryHeader::toggleRequested, this, [this] { setCollapsed(!m_collapsed); });
}

void CategoryPanel::setCollapsed(bool collapsed) {
    m_collapsed = collapsed;
    m_body->setVisible(!collapsed);
    m_header->setCollapsed(collapsed);
}
