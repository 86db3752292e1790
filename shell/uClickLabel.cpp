#include "shell/uClickLabel.h"

#include "shell/ClickableAccessible.h"

#include <QMouseEvent>

TClickLabel::TClickLabel(const QString& objectName, QWidget* parent) : QLabel(parent) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    ClickableAccessible::install();
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
}
