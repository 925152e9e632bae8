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
    if (std::exchange(FMovedOn, false) && IsSeparator(event->text())) {
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
    QDateEdit::focusInEvent(event);
}

void TDateEdit::mousePressEvent(QMouseEvent *event)
{
    FMovedOn = false;
    QDateEdit::mousePressEvent(event);
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
