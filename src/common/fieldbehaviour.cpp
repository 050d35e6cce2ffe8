#include "common/fieldbehaviour.h"

#include "common/colors.h"
#include "common/platform.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tvx {

void setBackground(QWidget *widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    const QColor color = vbColor(bgr);
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Button, color);
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        area->viewport()->setPalette(palette);
}

namespace {

class FocusHighlighter final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (auto *w = qobject_cast<QWidget *>(watched)) {
            if (event->type() == QEvent::FocusIn)
                setBackground(w, kFocusColor);
            else if (event->type() == QEvent::FocusOut)
                setBackground(w, kWindowBackground);
        }
        return false;
    }
};

class KeyFilter final : public QObject {
public:
    KeyFilter(QObject *parent, QString accepted, QAbstractButton *defaultButton)
        : QObject(parent), accepted_(std::move(accepted)), defaultButton_(defaultButton)
    {
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (defaultButton_ && defaultButton_->isEnabled() && defaultButton_->isVisible()) {
                defaultButton_->click();
                return true;
            }
            platform().beep();
            return true;
        }
        const QString text = key->text();
        if (text.isEmpty())
            return false;  // arrows, Delete type no character
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;  // moves the focus, even where the keyboard gives it a character

        if (key->key() == Qt::Key_Backspace || text == QStringLiteral("\b"))
            return false;
        if (text.size() == 1 && accepted_.contains(text.at(0)) && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        if (key->modifiers() & Qt::ControlModifier && !text.at(0).isPrint())
            return false;  // editing shortcuts (Ctrl+C, Ctrl+V …) type nothing themselves
        platform().beep();
        return true;
    }

private:
    QString accepted_;
    QAbstractButton *defaultButton_;
};

// Pasted or dropped text obeys the key filter too: text with any other
// character is not taken at all.
class AcceptedCharacters final : public QValidator {
public:
    AcceptedCharacters(QObject *parent, QString accepted) : QValidator(parent), accepted_(std::move(accepted)) {}
    State validate(QString &input, int &) const override
    {
        for (const QChar c : input)
            if (!accepted_.contains(c))
                return Invalid;
        return Acceptable;
    }

private:
    QString accepted_;
};

}  // namespace

void highlightOnFocus(QWidget *field)
{
    field->installEventFilter(new FocusHighlighter(field));
}

void acceptOnly(QWidget *field, const QString &accepted, QAbstractButton *defaultButton)
{
    field->installEventFilter(new KeyFilter(field, accepted, defaultButton));
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->setValidator(new AcceptedCharacters(line, accepted));
}

void selectWholeContent(QWidget *field)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->selectAll();
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        plain->selectAll();
    else if (auto *rich = qobject_cast<QTextEdit *>(field))
        rich->selectAll();
}

}  // namespace tvx
