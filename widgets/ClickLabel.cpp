#include "widgets/ClickLabel.h"

#include "widgets/ClickableAccessible.h"

#include <QMouseEvent>

ClickLabel::ClickLabel(const QString& objectName, QWidget* parent) : QLabel(parent) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    ClickableAccessible::install();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
}
