#pragma once
// A label that acts as a link or a picture button: hand cursor, `clicked` on a left-button release
// inside it, and an accessible name so that it can be found without seeing it. Assistive technology
// presses it through its accessible Press action (ClickableAccessible), which calls click().
#include <QLabel>

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(const QString& objectName, QWidget* parent = nullptr);

    // What a click does: emits `clicked`.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
