#include "CardWidgets.h"

#include "Application.h"
#include "MainFo.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QSignalBlocker>
#include <algorithm>
#include <utility>

void SetReadOnlyColor(QWidget *AControl, bool AReadOnly)
{
    QPalette palette = AControl->palette();
    const QPalette standard = QApplication::palette(AControl);
    palette.setColor(QPalette::Base, standard.color(AReadOnly ? QPalette::Button : QPalette::Base));
    AControl->setPalette(palette);
}

// --- Buttoned edit -----------------------------------------------------------------------------

TButtonedEdit::TButtonedEdit(QWidget *AParent) : QLineEdit(AParent)
{
    FButton = addAction(ImageListIcon(4), QLineEdit::TrailingPosition);
    connect(FButton, &QAction::triggered, this, Guard([this] {
                if (OnButtonClick)
                    OnButtonClick();
            }));
}

bool TButtonedEdit::ShowButton() const
{
    return FButton && FButton->isVisible();
}

void TButtonedEdit::SetShowButton(bool AShow)
{
    if (FButton)
        FButton->setVisible(AShow);
}

// --- Edit limit in characters -----------------------------------------------------------------

namespace {

qsizetype CharCount(const QString &AText)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < AText.size(); ++i, ++count)
        if (AText.at(i).isHighSurrogate() && i + 1 < AText.size() && AText.at(i + 1).isLowSurrogate())
            ++i;
    return count;
}

// The position of the character before APos, a pair of surrogates kept whole.
qsizetype PreviousChar(const QString &AText, qsizetype APos)
{
    if (APos >= 2 && AText.at(APos - 1).isLowSurrogate() && AText.at(APos - 2).isHighSurrogate())
        return APos - 2;
    return APos - 1;
}

} // namespace

TCharLimitValidator::TCharLimitValidator(qsizetype ALimit, QObject *AParent) : QValidator(AParent), FLimit(ALimit)
{
}

QValidator::State TCharLimitValidator::validate(QString &input, int &pos) const
{
    qsizetype excess = CharCount(input) - FLimit;
    if (excess <= 0)
        return Acceptable;
    // What came last stands before the cursor (a text set whole has the cursor at its end); any
    // excess left is cut from the end.
    const qsizetype end = std::clamp<qsizetype>(pos, 0, input.size());
    qsizetype start = end;
    for (; excess > 0 && start > 0; --excess)
        start = PreviousChar(input, start);
    input.remove(start, end - start);
    qsizetype tail = input.size();
    for (; excess > 0 && tail > 0; --excess)
        tail = PreviousChar(input, tail);
    input.truncate(tail);
    pos = int(std::min(start, input.size()));
    return Acceptable;
}

// --- Date box ----------------------------------------------------------------------------------

namespace {

// The window of two-digit years the desktop uses by default: 00 to 29 are of this century,
// 30 to 99 of the last one.
int YearOfTwoDigits(int AYear)
{
    return AYear < 30 ? 2000 + AYear : 1900 + AYear;
}

// The year that a year typed short stands for; 0 for a year typed whole.
int FullYear(const QString &ATyped)
{
    bool number = false;
    const int year = ATyped.toInt(&number);
    // The box writes a year typed "00" out as "0000", a year that never was.
    if (!number || (ATyped.size() > 2 && year != 0))
        return 0;
    return YearOfTwoDigits(year);
}

// Where the part numbered APart of a date's text stands, the parts being its runs of letters and
// digits; AText.size() where it has no such part.
qsizetype PartStart(const QString &AText, int APart)
{
    int part = -1;
    for (qsizetype i = 0; i < AText.size(); ++i)
        if (AText.at(i).isLetterOrNumber() && (i == 0 || !AText.at(i - 1).isLetterOrNumber()) && ++part == APart)
            return i;
    return AText.size();
}

// The first month from AMonth on that has ADay days, in AYear.
int MonthHolding(int ADay, int AMonth, int AYear)
{
    for (int month = AMonth; month < AMonth + 12; ++month)
        if (QDate(AYear, (month - 1) % 12 + 1, 1).daysInMonth() >= ADay)
            return (month - 1) % 12 + 1;
    return AMonth;
}

// The leap year nearest to AYear, the earlier one of two as near.
int NearestLeapYear(int AYear)
{
    for (int distance = 0;; ++distance) {
        if (QDate::isLeapYear(AYear - distance))
            return AYear - distance;
        if (QDate::isLeapYear(AYear + distance))
            return AYear + distance;
    }
}

} // namespace

TDateEdit::TDateEdit(const QDate &ADate, QWidget *AParent) : QDateEdit(ADate, AParent)
{
    lineEdit()->installEventFilter(this);
}

bool TDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    const bool result = QDateEdit::eventFilter(watched, event);
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && !lineEdit()->hasSelectedText()) {
        FMovedOn = false;
        setSelectedSection(currentSection());
    }
    return result;
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    // Enter takes the date as leaving the box does, before the card's OK reads it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        TakeShortYear();
    if (std::exchange(FMovedOn, false) && IsSeparator(event->text())) {
        event->accept();
        return;
    }
    if (TakeDayOrMonthTheDateCannotShowYet(event->text())) {
        event->accept();
        return;
    }
    const int section = currentSectionIndex();
    QDateEdit::keyPressEvent(event);
    const QString text = event->text();
    FMovedOn = text.size() == 1 && text.at(0).isDigit() && currentSectionIndex() != section;
}

void TDateEdit::focusInEvent(QFocusEvent *event)
{
    FMovedOn = false;
    // Coming back with Shift+Tab puts the user on the first part too, where the date is typed from.
    if (event->reason() == Qt::BacktabFocusReason) {
        QFocusEvent fromTab(event->type(), Qt::TabFocusReason);
        QDateEdit::focusInEvent(&fromTab);
        return;
    }
    QDateEdit::focusInEvent(event);
}

void TDateEdit::mousePressEvent(QMouseEvent *event)
{
    FMovedOn = false;
    QDateEdit::mousePressEvent(event);
}

void TDateEdit::focusOutEvent(QFocusEvent *event)
{
    TakeShortYear();
    QDateEdit::focusOutEvent(event);
}

bool TDateEdit::event(QEvent *event)
{
    // The box would move through its parts with Tab as with a separator; Tab goes on to the
    // card's next control instead (Shift+Tab to the previous one), as a separator still moves on.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QWidget::focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QDateEdit::event(event);
}

void TDateEdit::TakeShortYear()
{
    // A format of a short year ("M/d/yy") shows and takes its years short by itself.
    if (!displayFormat().contains(QStringLiteral("yyyy")))
        return;
    const QString year = sectionText(YearSection);
    const int fullYear = FullYear(year);
    if (fullYear == 0)
        return;
    int yearPart = 0;
    while (yearPart < sectionCount() && sectionAt(yearPart) != YearSection)
        ++yearPart;
    QString text = lineEdit()->text();
    const qsizetype start = PartStart(text, yearPart);
    if (text.mid(start, year.size()) != year)
        return;
    text.replace(start, year.size(), QString::number(fullYear));
    const QDate typed = dateTimeFromText(text).date();
    if (typed.isValid())
        setDate(typed);
}

QString TDateEdit::PartTextAfter(const QString &ADigit) const
{
    const QString part = sectionText(currentSection());
    const bool replaced = lineEdit()->hasSelectedText() && lineEdit()->selectedText() == part;
    return replaced ? ADigit : part + ADigit;
}

void TDateEdit::MoveOnTo(Section APart)
{
    setSelectedSection(APart);
    FMovedOn = true;
}

bool TDateEdit::TypedDayFirst() const
{
    // In a language that writes the month first the day is checked against the month the user
    // typed already; only day, month, year is typed against parts still to come.
    return sectionCount() == 3 && sectionAt(0) == DaySection && sectionAt(1) == MonthSection;
}

bool TDateEdit::TakeDayOrMonthTheDateCannotShowYet(const QString &AText)
{
    // The box checks each part against the others as they stand while it is typed: a day the
    // month shown has not, or a month without the day shown, would be cut or refused digit by
    // digit, and the rest of what is typed would land in the wrong parts. Such a day or month is
    // taken here whole, the month (for a day) or the year (for the 29th of February) being made
    // one that holds it until the user types them.
    if (AText.size() != 1 || !AText.at(0).isDigit() || !TypedDayFirst())
        return false;
    const QString part = PartTextAfter(AText);
    if (currentSection() == DaySection)
        return TakeDay(part);
    if (currentSection() == MonthSection)
        return TakeMonth(part);
    return false;
}

bool TDateEdit::TakeDay(const QString &APart)
{
    const QDate shown = date();
    if (APart == QLatin1String("3") && shown.daysInMonth() < 30) {
        // A "3" in February: the box would take the 3rd and move on, as no day of its month
        // starts with a 3. A month of 31 days lets the second digit come.
        setDate(QDate(shown.year(), MonthHolding(31, shown.month(), shown.year()), shown.day()));
        setSelectedSection(DaySection);
        return false;
    }
    const int day = APart.toInt();
    if (APart.size() != 2 || day <= shown.daysInMonth() || day > 31)
        return false;
    setDate(QDate(shown.year(), MonthHolding(day, shown.month(), shown.year()), day));
    MoveOnTo(MonthSection);
    return true;
}

bool TDateEdit::TakeMonth(const QString &APart)
{
    const QDate shown = date();
    const int month = APart.toInt();
    // A "0" or "1" alone waits for its second digit.
    if (month < 1 || month > 12 || (APart.size() == 1 && month < 2))
        return false;
    if (QDate(shown.year(), month, 1).daysInMonth() >= shown.day())
        return false;
    const int year = month == 2 && shown.day() == 29 ? NearestLeapYear(shown.year()) : shown.year();
    if (QDate(year, month, 1).daysInMonth() < shown.day())
        return false;   // the 30th or 31st of a month that has none: the box keeps its last day
    setDate(QDate(year, month, shown.day()));
    MoveOnTo(YearSection);
    return true;
}

bool TDateEdit::IsSeparator(const QString &AText) const
{
    if (AText.isEmpty())
        return false;
    for (const QChar ch : AText)
        if (ch.isLetterOrNumber())
            return false;
    return displayFormat().contains(AText);
}

// --- Date picker with a check box --------------------------------------------------------------

namespace {

constexpr int CheckWidth = 18;

} // namespace

TDateCheckEdit::TDateCheckEdit(QWidget *AParent) : QWidget(AParent)
{
    FCheck = new QCheckBox(this);
    FDate = new TDateEdit(QDate::currentDate(), this);
    FDate->setCalendarPopup(true);
    FDate->setEnabled(false);
    setFocusProxy(FDate);
    connect(FCheck, &QCheckBox::toggled, this, [this](bool checked) {
        FDate->setEnabled(checked);
        Changed();
    });
    connect(FDate, &QDateEdit::dateChanged, this, [this] { Changed(); });
}

void TDateCheckEdit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FCheck->setGeometry(0, 0, CheckWidth, height());
    FDate->setGeometry(CheckWidth, 0, std::max(width() - CheckWidth, 0), height());
}

bool TDateCheckEdit::Checked() const
{
    return FCheck->isChecked();
}

QDate TDateCheckEdit::Date() const
{
    return FDate->date();
}

void TDateCheckEdit::SetState(bool AChecked, const QDate &ADate)
{
    {
        const QSignalBlocker blockCheck(FCheck);
        const QSignalBlocker blockDate(FDate);
        FCheck->setChecked(AChecked);
        if (ADate.isValid())
            FDate->setDate(ADate);
    }
    FDate->setEnabled(AChecked);
    Changed();
}

void TDateCheckEdit::Changed()
{
    if (OnChange)
        Guarded(OnChange);
}

// --- Check box with a grayed start -------------------------------------------------------------

TGrayCheckBox::TGrayCheckBox(QWidget *AParent) : QCheckBox(AParent)
{
    setTristate(true);
    setCheckState(Qt::PartiallyChecked);
}

void TGrayCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}
