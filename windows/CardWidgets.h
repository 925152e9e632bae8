#pragma once

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QValidator>
#include <QWidget>
#include <functional>

class QAction;

// The small controls a card is built of, beyond Qt's own.

// The height of a card's one-line edits: the stored layouts place rows 22 pixels apart and were
// drawn for edits one pixel lower, whatever height the style would give them.
constexpr int CardEditHeight = 21;

// Read-only controls of a card are painted in the colour of buttons, editable ones in the colour
// of an edit's field.
void SetReadOnlyColor(QWidget *AControl, bool AReadOnly);

// An edit with a button at its right end (the ellipsis of the main form's images) that opens a
// chooser.
class TButtonedEdit : public QLineEdit
{
public:
    explicit TButtonedEdit(QWidget *AParent);

    std::function<void()> OnButtonClick;

    bool ShowButton() const;
    void SetShowButton(bool AShow);
    QAction *Button() const { return FButton; }

private:
    QPointer<QAction> FButton;
};

// Holds an edit's text to a number of characters counted as the database counts a column's
// length: one per character, a character beyond the basic plane included (an edit's own maximum
// length counts it twice). Of a text that would be too long, what was typed or pasted last is cut.
class TCharLimitValidator : public QValidator
{
public:
    TCharLimitValidator(qsizetype ALimit, QObject *AParent);

    State validate(QString &input, int &pos) const override;

private:
    qsizetype FLimit;
};

// The date box of the program: a date is typed with the separators of its format ("15.01.2026",
// "5.1.2026") as well as without ("15012026"). The box moves on to the next part by itself once a
// part is full; the separator typed right after that move only confirms it, where by itself the
// box would move on once more. A year typed short ("15.01.26") is the nearest one of its two last
// digits once the date is taken. Tab and Shift+Tab go on to the card's next or previous control:
// the parts are moved between with the arrows and the separators.
class TDateEdit : public QDateEdit
{
public:
    TDateEdit(const QDate &ADate, QWidget *AParent);

protected:
    // A click into a part of the date selects that part, as Tab selects the first one: what is
    // typed next replaces it instead of being refused behind the digits it holds.
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool IsSeparator(const QString &AText) const;
    // The text of the current part once the digit ADigit is typed into it.
    QString PartTextAfter(const QString &ADigit) const;
    void MoveOnTo(Section APart);
    // A digit that completes a day the month shown has not, or a month without the day shown:
    // taken whole, true; false for any other key, which the box then takes as usual.
    bool TakeDayOrMonthTheDateCannotShowYet(const QString &AText);
    bool TakeDay(const QString &APart);
    bool TakeMonth(const QString &APart);
    // Whether the format is day, month, year.
    bool TypedDayFirst() const;
    // Gives a year of one or two digits, as typed, its century before the box takes the date,
    // where the box by itself would take the year as written, of the first century.
    void TakeShortYear();

    // The last key was a digit that filled its part and moved the box to the next one.
    bool FMovedOn = false;
};

// A date picker with a check box in front: unchecked means no date. Whatever changes it, the
// user or the program, it reports one change once both parts hold their new state, so nobody
// reads a checked box with the date still to come.
class TDateCheckEdit : public QWidget
{
public:
    explicit TDateCheckEdit(QWidget *AParent);

    std::function<void()> OnChange;

    bool Checked() const;
    QDate Date() const;
    // Both parts at once, with one change; a date that is not valid leaves the shown one.
    void SetState(bool AChecked, const QDate &ADate = QDate());
    QCheckBox *CheckBox() const { return FCheck; }
    TDateEdit *DateEdit() const { return FDate; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Changed();

    QCheckBox *FCheck;
    TDateEdit *FDate;
};

// A check box that starts grayed (no value) and that clicks only ever turn checked or unchecked:
// once the user has said yes or no, clicking never brings "no value" back.
class TGrayCheckBox : public QCheckBox
{
public:
    explicit TGrayCheckBox(QWidget *AParent);

protected:
    void nextCheckState() override;
};
