#pragma once
// One collapsible category panel of the navigator: a drawn 36-pixel header (32 x 32 picture and bold
// caption on light grey) above a body of buttons. A double click on the header (or Space / Enter
// while it has the focus, or the header's accessible Toggle action) folds the body in or out.
#include <QPixmap>
#include <QWidget>

class QVBoxLayout;

class TCategoryHeader : public QWidget {
    Q_OBJECT
public:
    TCategoryHeader(const QString& caption, const QPixmap& picture, QWidget* parent = nullptr);
    void setCollapsed(bool collapsed);
    bool collapsed() const { return FCollapsed; }
    // What a double click does: asks the panel to fold or unfold.
    void toggle() { emit toggleRequested(); }
    QSize sizeHint() const override { return {185, 36}; }

signals:
    void toggleRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString FCaption;
    QPixmap FPicture;
    bool FCollapsed = false;
};

class TCategoryPanel : public QWidget {
    Q_OBJECT
public:
    TCategoryPanel(const QString& objectName, const QString& caption, const QPixmap& picture,
                   QWidget* parent = nullptr);

    // The body the panel's buttons go into.
    QWidget* body() const { return FBody; }
    bool collapsed() const { return FCollapsed; }
    void setCollapsed(bool collapsed);
    TCategoryHeader* header() const { return FHeader; }

private:
    TCategoryHeader* FHeader;
    QWidget* FBody;
    bool FCollapsed = false;
};
