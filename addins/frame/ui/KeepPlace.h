#pragma once

#include <QSizePolicy>
#include <QWidget>

// A panel that a box beside or above it shows and hides keeps its room while hidden, so that the
// box and the controls around it stay where the operator saw them.
inline void keepPlaceWhenHidden(QWidget *panel)
{
    QSizePolicy policy = panel->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(policy);
}
