#pragma once

#include <QString>

class QDialog;
class QWidget;

// Pictures of the forms for a person to look at, in the build's screenshots folder.
namespace testsupport {

// The path of a picture in the screenshots folder, which is made when missing.
QString screenshotPath(const QString &name);

// Every character of the text has a glyph in the widget's font or its fallbacks.
bool drawable(const QWidget &widget, const QString &text);

// Shows the dialog, checks that its title and every caption on it can be drawn, and saves its picture.
void shootDialog(QDialog &dialog, const QString &file);

} // namespace testsupport
