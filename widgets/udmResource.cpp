#include "widgets/udmResource.h"

#include <QApplication>
#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor Blue(0x39, 0x8D, 0xEE);
const QColor DarkBlue(0x1F, 0x5F, 0xB5);
const QColor Green(0x2E, 0x9E, 0x4F);
const QColor Orange(0xF2, 0x75, 0x1F);
const QColor Red(0xD9, 0x3A, 0x3A);

QFont boldFont(int pixelSize) {
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QPixmap blank(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void roundedSquare(QPainter& painter, int size, const QColor& colour) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
}

// A rounded square badge with a letter or symbol text in white.
QPixmap badge(int size, const QColor& colour, const QString& text, int textPixels,
              const QColor& textColour = Qt::white) {
    QPixmap pixmap = blank(size, size);
    QPainter painter(&pixmap);
    roundedSquare(painter, size, colour);
    painter.setPen(textColour);
    painter.setFont(boldFont(textPixels));
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, text);
    return pixmap;
}

// The program's mark: a rounded square with a bold "Q" drawn as lines, not set in a font, so that
// the program icon (made before the first window) does not load a font face at start-up.
QPixmap markBadge(int size, const QColor& colour, int letterPixels, const QColor& letterColour = Qt::white) {
    QPixmap pixmap = blank(size, size);
    QPainter painter(&pixmap);
    roundedSquare(painter, size, colour);
    const qreal height = letterPixels * 0.74; // the letter's cap height
    const qreal stroke = qMax<qreal>(1.5, height * 0.17);
    const QPointF centre(size / 2.0, size / 2.0);
    const qreal rx = height * 0.40 - stroke / 2;
    const qreal ry = height * 0.50 - stroke / 2;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(letterColour, stroke, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(centre, rx, ry);
    painter.setPen(QPen(letterColour, stroke, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(centre + QPointF(rx * 0.30, ry * 0.45), centre + QPointF(rx * 0.95, ry * 1.12));
    return pixmap;
}

QPixmap symbol(int index) {
    const int s = 32;
    QPixmap pixmap = blank(s, s);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case tiRefresh: {
        painter.setPen(QPen(QColor(0xC0, 0x20, 0xC0), 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(5, 5, 22, 22), 60 * 16, 280 * 16);
        painter.setBrush(QColor(0xC0, 0x20, 0xC0));
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygonF({QPointF(20, 1), QPointF(29, 8), QPointF(19, 12)}));
        break;
    }
    case tiRecharge: return badge(s, Green, QStringLiteral("¥"), 20);
    case tiHomePage: {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Blue);
        painter.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(30, 16), QPointF(2, 16)}));
        painter.drawRect(QRectF(7, 15, 18, 14));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(13, 20, 6, 9));
        break;
    }
    case tiQQ: return badge(s, Green, QStringLiteral("QQ"), 13);
    case tiGuidePublisher: return badge(s, Green, QStringLiteral("发"), 18);
    case tiGuideHandler: return badge(s, Blue, QStringLiteral("接"), 18);
    case tiExitApp: {
        painter.setPen(QPen(Red, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(5, 6, 22, 22), 120 * 16, 300 * 16);
        painter.drawLine(QPointF(16, 3), QPointF(16, 15));
        break;
    }
    case tiShowMainForm: {
        painter.setPen(QPen(DarkBlue, 2));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(3, 5, 26, 22));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Blue);
        painter.drawRect(QRectF(4, 6, 25, 6));
        break;
    }
    default: return QPixmap();
    }
    return pixmap;
}
} // namespace

QIcon ToolImage(int index) {
    const QPixmap pixmap = symbol(index);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QIcon StandardIcon(QStyle::StandardPixmap which) {
    static QHash<int, QIcon> cache; // user-interface thread only
    const auto found = cache.constFind(int(which));
    if (found != cache.constEnd()) return *found;
    return *cache.insert(int(which), QApplication::style()->standardIcon(which));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(markBadge(size, Blue, size * 2 / 3));
    return icon;
}

QPixmap LogoPixmap() {
    QPixmap pixmap = blank(184, 60);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(4, 8, markBadge(44, Blue, 30));
    painter.setPen(DarkBlue);
    painter.setFont(boldFont(24));
    painter.drawText(QRect(54, 6, 130, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quorvane"));
    painter.setPen(Orange);
    painter.setFont(boldFont(13));
    painter.drawText(QRect(56, 36, 128, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("淘宝任务互助平台"));
    return pixmap;
}

QPixmap BannerPixmap(int width) {
    QPixmap pixmap(width, 70);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width, 70);
    gradient.setColorAt(0, DarkBlue);
    gradient.setColorAt(1, Blue);
    painter.fillRect(pixmap.rect(), gradient);
    painter.drawPixmap(14, 11, markBadge(48, Qt::white, 32, DarkBlue));
    painter.setPen(Qt::white);
    painter.setFont(boldFont(26));
    painter.drawText(QRect(74, 8, width - 80, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quorvane"));
    painter.setFont(boldFont(13));
    painter.setPen(QColor(0xFF, 0xF3, 0xC4));
    painter.drawText(QRect(76, 42, width - 80, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("淘宝任务互助平台 · 安全 高效 便捷"));
    return pixmap;
}

QPixmap QQContactPixmap() {
    QPixmap pixmap = blank(77, 22);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x1E, 0x7E, 0x3A));
    painter.setBrush(QColor(0x3C, 0xB3, 0x5C));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 76, 21), 4, 4);
    painter.setPen(Qt::white);
    painter.setFont(boldFont(12));
    painter.drawText(QRect(0, 0, 77, 22), Qt::AlignCenter, QStringLiteral("QQ交谈"));
    return pixmap;
}

QPixmap CategoryPixmap(int which) {
    switch (which) {
    case 0: return badge(32, Orange, QStringLiteral("任"), 18);
    case 1: return badge(32, Green, QStringLiteral("记"), 18);
    default: return badge(32, Blue, QStringLiteral("我"), 18);
    }
}

QPixmap AboutPixmap() { return markBadge(64, Qt::white, 44, DarkBlue); }
