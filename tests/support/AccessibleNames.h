#pragma once

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

// What a screen reader announces for a form's controls, under the offscreen platform.
namespace testsupport {

// The caption assistive technology reads for control, as a screen reader finds a field by it.
// A combo box on Linux gives its current item as its name and its caption as the label it is
// labelled by (its accessible name, where no label is its own). A control in a group box that
// has no caption of its own is read by the group's title, which names the group, not the field.
inline QString accessibleCaption(QWidget *control)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
    if (!face)
        return {};
    if (qobject_cast<QComboBox *>(control)) {
        for (const auto &[label, relation] : face->relations(QAccessible::Label)) {
            Q_UNUSED(relation)
            if (label && qobject_cast<QLabel *>(label->object()))
                return label->text(QAccessible::Name);
        }
        return control->accessibleName();
    }
    const QString name = face->text(QAccessible::Name);
    const auto *group = qobject_cast<const QGroupBox *>(control->parentWidget());
    if (group && control->accessibleName().isEmpty() && name == group->title())
        return {};
    return name;
}

// Controls the operator types in, picks from or reads: a line edit (a numeric edit included), a
// combo box, a list, tree or table, a text or spin box. The parts those are built of (a combo's
// edit, a table's cell editor and headings) are not controls of their own.
inline bool isInputControl(const QWidget *w)
{
    // A hint shown in a text box that takes neither focus nor typing is read as its text.
    const auto *text = qobject_cast<const QPlainTextEdit *>(w);
    if (text && text->isReadOnly() && w->focusPolicy() == Qt::NoFocus)
        return false;
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p) ||
            qobject_cast<const QAbstractItemView *>(p))
            return false;
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

// Every input control of form, on every page, that a screen reader finds no caption for, as
// "class objectName" (the form's hidden and disabled controls too: each is shown in some state).
inline QStringList uncaptionedControls(QWidget &form)
{
    QStringList missing;
    for (QWidget *w : form.findChildren<QWidget *>())
        if (isInputControl(w) && accessibleCaption(w).trimmed().isEmpty())
            missing << QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()),
                                                   w->objectName());
    return missing;
}

} // namespace testsupport
