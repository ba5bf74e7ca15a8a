#include "common/ui/Caption.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QWidget>

namespace caption {

namespace {

// Qt names a control after its buddy label's current text, but only from a label with the same
// parent; a list or a table reads only its accessible name, and a combo box on Linux gives its
// current item as its name and announces its caption as the label it is labelled by.
bool namedByBuddy(const QLabel *label, const QWidget *control)
{
    return label->parentWidget() == control->parentWidget() &&
           !qobject_cast<const QAbstractItemView *>(control) && !qobject_cast<const QComboBox *>(control);
}

} // namespace

void link(QLabel *label, QWidget *control)
{
    label->setBuddy(control);
    if (!namedByBuddy(label, control))
        name(control, label->text());
}

QLabel *label(const QString &text, QWidget *control, QWidget *parent)
{
    auto *created = new QLabel(text, parent);
    link(created, control);
    return created;
}

void name(QWidget *control, const QString &caption)
{
    // Blanks that align a caption on the form mean nothing read aloud.
    control->setAccessibleName(caption.simplified());
}

} // namespace caption
