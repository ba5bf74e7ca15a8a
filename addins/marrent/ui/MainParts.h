// The small control makers and value helpers the main form's sheet files share.

#pragma once

#include "common/ui/FormKit.h"
#include "common/ui/NEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <initializer_list>

namespace marrent::mainparts {

using formkit::named;

inline TNEdit *digits(const char *name, int maxDigits, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(maxDigits);
    edit->setMaximumWidth(60);
    return edit;
}

// A numeric edit's value; 0 when it holds none.
inline int value(const QLineEdit *edit)
{
    bool ok = false;
    const int v = edit->text().toInt(&ok);
    return ok ? v : 0;
}

inline void setValue(QLineEdit *edit, int v)
{
    edit->setText(QString::number(v));
}

inline QHBoxLayout *row(QWidget *parent, std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    Q_UNUSED(parent);
    return layout;
}

} // namespace marrent::mainparts
