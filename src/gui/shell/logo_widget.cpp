#include "gui/shell/logo_widget.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zelvanor::gui {

LogoWidget::LogoWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("logo"));
    setMinimumSize(160, 44);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize LogoWidget::sizeHint() const {
    return {240, 48};
}

void LogoWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);

    QLinearGradient turf(r.topLeft(), r.bottomLeft());
    turf.setColorAt(0, QColor(0x1f, 0x6b, 0x3a));
    turf.setColorAt(1, QColor(0x0c, 0x3d, 0x1f));
    p.setPen(Qt::NoPen);
    p.setBrush(turf);
    p.drawRoundedRect(r, 6, 6);

    // The rail of a racecourse bend, sweeping across the plate.
    QPainterPath rail;
    rail.moveTo(r.left() + 8, r.bottom() - 8);
    rail.cubicTo(r.left() + r.width() * 0.35, r.top() + 6, r.right() - r.width() * 0.3, r.top() + 4,
                 r.right() - 8, r.bottom() - 12);
    p.setPen(QPen(QColor(255, 255, 255, 70), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rail);

    QFont title = font();
    title.setBold(true);
    title.setItalic(true);
    title.setPixelSize(static_cast<int>(r.height() * 0.55));
    p.setFont(title);
    p.setPen(QColor(0xf4, 0xe9, 0xc1));
    p.drawText(r.adjusted(12, 0, -8, -r.height() * 0.18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Zelvanor"));

    QFont sub = font();
    sub.setPixelSize(static_cast<int>(r.height() * 0.2));
    p.setFont(sub);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(r.adjusted(14, 0, -10, -4), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("JRA-VAN DATA"));
}

}  // namespace zelvanor::gui
