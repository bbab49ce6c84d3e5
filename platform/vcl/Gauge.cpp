#include <vcl/Gauge.h>

#include "Internal.h"

#include <QPainter>

#include <algorithm>

namespace vcl {

TGauge::TGauge(TComponent* owner) : TControl(owner, detail::makePaintedWidget()) {
    SetBounds(Left(), Top(), 100, 100);
}

void TGauge::SetKind(TGaugeKind kind) {
    m_kind = kind;
    Invalidate();
}

void TGauge::SetMinValue(int v) {
    m_min = v;
    if (m_max < m_min)
        m_max = m_min;
    m_progress = std::clamp(m_progress, m_min, m_max);
    Invalidate();
}

void TGauge::SetMaxValue(int v) {
    m_max = v;
    if (m_min > m_max)
        m_min = m_max;
    m_progress = std::clamp(m_progress, m_min, m_max);
    Invalidate();
}

void TGauge::SetProgress(int v) {
    m_progress = std::clamp(v, m_min, m_max);
    Invalidate();
}

int TGauge::PercentDone() const {
    long long range = static_cast<long long>(m_max) - m_min;
    if (range <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(m_progress) - m_min) * 100 / range);
}

void TGauge::SetBackColor(TColor c) {
    m_back = c;
    Invalidate();
}

void TGauge::SetForeColor(TColor c) {
    m_fore = c;
    Invalidate();
}

void TGauge::SetShowText(bool v) {
    m_showText = v;
    Invalidate();
}

void TGauge::Paint(QPainter& p) const {
    QRect all(0, 0, Width(), Height());
    // A single black border, as the toolkit's gauge draws it.
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0, 0, -1, -1));
    QRect inner = all.adjusted(1, 1, -1, -1);
    const QColor back = detail::toQColor(m_back), fore = detail::toQColor(m_fore);
    p.fillRect(inner, back);

    long long range = static_cast<long long>(m_max) - m_min;
    long long done = static_cast<long long>(m_progress) - m_min;
    QRect filled = inner;
    if (m_kind == gkVerticalBar) {
        int h = range > 0 ? static_cast<int>(inner.height() * done / range) : 0;
        filled.setTop(inner.bottom() - h + 1);
    } else {
        int w = range > 0 ? static_cast<int>(inner.width() * done / range) : 0;
        filled.setWidth(w);
    }
    if (m_kind != gkText && filled.isValid() && !filled.isEmpty())
        p.fillRect(filled, fore);

    if (!m_showText)
        return;
    const QString text = QString::number(PercentDone()) + "%";
    // The text reads in the fore colour over the empty part and in the back colour over the bar.
    p.save();
    p.setClipRegion(QRegion(inner).subtracted(m_kind == gkText ? QRegion() : QRegion(filled)));
    p.setPen(fore);
    p.drawText(inner, Qt::AlignCenter, text);
    p.restore();
    if (m_kind != gkText && !filled.isEmpty()) {
        p.save();
        p.setClipRect(filled);
        p.setPen(back);
        p.drawText(inner, Qt::AlignCenter, text);
        p.restore();
    }
}

} // namespace vcl
