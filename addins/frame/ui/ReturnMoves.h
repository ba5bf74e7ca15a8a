#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QLineEdit;
class QWidget;

// The Return-key moves of a form's pages: Return in a control hands the focus to the control its
// rule names (formkit::requestFocus, so a hidden target passes it on along the tab order). The
// move is taken before the control sees the key, so a numeric or filtered edit that swallows
// Return does not stop it; a control without a rule keeps its own Return.
class ReturnMoves : public QObject {
    Q_OBJECT

public:
    enum class When {
        Always,
        Filled, // only when the edit is not empty
    };
    using Target = std::function<QWidget *()>;

    explicit ReturnMoves(QObject *parent = nullptr) : QObject(parent) {}

    void add(QWidget *from, QWidget *to, When when = When::Always);
    // The target is decided when Return is pressed; a null target keeps the focus.
    void add(QWidget *from, Target to, When when = When::Always);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Move {
        QPointer<QWidget> from;
        Target to;
        When when;
    };
    std::vector<Move> moves_;
};
