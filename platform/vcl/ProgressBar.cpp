#include <vcl/ProgressBar.h>

#include "Internal.h"

#include <QProgressBar>

#include <algorithm>

namespace vcl {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner, detail::makeWidget<QProgressBar>()) {
    auto* bar = WidgetAs<QProgressBar>();
    bar->setTextVisible(false);
    bar->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(Left(), Top(), 150, 16);
    show();
}

void TProgressBar::show() {
    if (auto* bar = WidgetAs<QProgressBar>()) {
        bar->setRange(m_min, m_max);
        bar->setValue(m_position);
    }
}

void TProgressBar::SetMin(int v) {
    m_min = v;
    m_max = std::max(m_max, v);
    m_position = std::clamp(m_position, m_min, m_max);
    show();
}

void TProgressBar::SetMax(int v) {
    m_max = v;
    m_min = std::min(m_min, v);
    m_position = std::clamp(m_position, m_min, m_max);
    show();
}

void TProgressBar::SetPosition(int v) {
    m_position = std::clamp(v, m_min, m_max);
    show();
}

void TProgressBar::StepIt() {
    const long long next = static_cast<long long>(m_position) + m_step;
    m_position = next > m_max ? m_min + static_cast<int>((next - m_max) % (static_cast<long long>(m_max) - m_min + 1))
                              : static_cast<int>(std::max<long long>(next, m_min));
    show();
}

} // namespace vcl
