// The small control makers the main form's page files share.

#pragma once

#include "common/ui/FormKit.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QString>
#include <QWidget>

#include <initializer_list>

namespace quillon::mainparts {

using formkit::named;

inline TNEdit *numberEdit(const char *name, int digits, int maxValue, const QString &text)
{
    auto *edit = named(new TNEdit, name);
    edit->SetMaxDegits(digits);
    edit->SetMaxValue(maxValue);
    edit->setText(text);
    edit->setFixedWidth(60);
    return edit;
}

inline QCheckBox *checkBox(const char *name, const QString &caption)
{
    return named(new QCheckBox(caption), name);
}

inline QWidget *row(std::initializer_list<QWidget *> widgets)
{
    auto *panel = new QWidget;
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return panel;
}

} // namespace quillon::mainparts
