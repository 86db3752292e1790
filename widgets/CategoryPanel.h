#pragma once
// One collapsible category panel of the navigator: a drawn 36-pixel header (32 x 32 picture and bold
// caption on light grey) above a body of buttons. A double click on the header (or Space / Enter
// while it has the focus, or the header's accessible Toggle action) folds the body in or out.
#include <QPixmap>
#include <QWidget>

class QVBoxLayout;

class CategoryHeader : public QWidget {
    Q_OBJECT
public:
    CategoryHeader(const QString& caption, const QPixmap& picture, QWidget* parent = nullptr);
    void setCollapsed(bool collapsed);
    bool collapsed() const { return m_collapsed; }
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
    QString m_caption;
    QPixmap m_picture;
    bool m_collapsed = false;
};

class CategoryPanel : public QWidget {
    Q_OBJECT
public:
    CategoryPanel(const QString& objectName, const QString& caption, const QPixmap& picture, QWidget* parent = nullptr);

    // The body the panel's buttons go into.
    QWidget* body() const { return m_body; }
    bool collapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);
    CategoryHeader* header() const { return m_header; }

private:
    CategoryHeader* m_header;
    QWidget* m_body;
    bool m_collapsed = false;
};
