#include "Align.h"

#include "Application.h"
#include "Func.h"

#include <QLayout>
#include <QMargins>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

// The layout behind SetAlign: docks its widgets along the parent's edges in the order they were
// aligned and gives the client what is left.
class TAlignLayout : public QLayout
{
public:
    explicit TAlignLayout(QWidget *AParent) : QLayout(AParent)
    {
        setContentsMargins(0, 0, 0, 0);
        setSpacing(0);
    }
    ~TAlignLayout() override
    {
        while (!FItems.empty())
            delete takeAt(0);
    }

    void addItem(QLayoutItem *item) override { FItems.push_back({item, TAlign::alClient}); }
    int count() const override { return int(FItems.size()); }
    QLayoutItem *itemAt(int index) const override
    {
        return index >= 0 && index < count() ? FItems[size_t(index)].Item : nullptr;
    }
    QLayoutItem *takeAt(int index) override
    {
        if (index < 0 || index >= count())
            return nullptr;
        QLayoutItem *item = FItems[size_t(index)].Item;
        FItems.erase(FItems.begin() + index);
        invalidate();
        return item;
    }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

    QSize sizeHint() const override { return Measure(false); }
    QSize minimumSize() const override { return Measure(true); }

    void setGeometry(const QRect &ARect) override
    {
        QLayout::setGeometry(ARect);
        QRect rest = ARect;
        for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
            for (const TEntry &entry : FItems) {
                if (entry.Align != align || entry.Item->isEmpty())
                    continue;
                switch (align) {
                case TAlign::alTop: {
                    const int h = std::min(Extent(entry.Item, Qt::Vertical), std::max(rest.height(), 0));
                    entry.Item->setGeometry(QRect(rest.left(), rest.top(), rest.width(), h));
                    rest.setTop(rest.top() + h);
                    break;
                }
                case TAlign::alBottom: {
                    const int h = std::min(Extent(entry.Item, Qt::Vertical), std::max(rest.height(), 0));
                    entry.Item->setGeometry(QRect(rest.left(), rest.bottom() + 1 - h, rest.width(), h));
                    rest.setBottom(rest.bottom() - h);
                    break;
                }
                case TAlign::alLeft: {
                    const int w = std::min(Extent(entry.Item, Qt::Horizontal), std::max(rest.width(), 0));
                    entry.Item->setGeometry(QRect(rest.left(), rest.top(), w, rest.height()));
                    rest.setLeft(rest.left() + w);
                    break;
                }
                case TAlign::alRight: {
                    const int w = std::min(Extent(entry.Item, Qt::Horizontal), std::max(rest.width(), 0));
                    entry.Item->setGeometry(QRect(rest.right() + 1 - w, rest.top(), w, rest.height()));
                    rest.setRight(rest.right() - w);
                    break;
                }
                default:
                    entry.Item->setGeometry(QRect(rest.topLeft(), rest.size().expandedTo(QSize(0, 0))));
                    break;
                }
            }
        }
    }

    int IndexOf(const QWidget *AWidget) const
    {
        for (int i = 0; i < count(); ++i)
            if (FItems[size_t(i)].Item->widget() == AWidget)
                return i;
        return -1;
    }
    TAlign AlignAt(int AIndex) const { return FItems[size_t(AIndex)].Align; }
    void SetAlignAt(int AIndex, TAlign AAlign)
    {
        FItems[size_t(AIndex)].Align = AAlign;
        invalidate();
    }

private:
    struct TEntry
    {
        QLayoutItem *Item;
        TAlign Align;
    };

    // The height (or width) a docked control keeps: its fixed one, else its hint's.
    static int Extent(QLayoutItem *AItem, Qt::Orientation AOrientation)
    {
        const QWidget *w = AItem->widget();
        const bool vertical = AOrientation == Qt::Vertical;
        if (w) {
            const int min = vertical ? w->minimumHeight() : w->minimumWidth();
            const int max = vertical ? w->maximumHeight() : w->maximumWidth();
            if (min == max)
                return max;
        }
        const QSize hint = AItem->sizeHint();
        const int extent = vertical ? hint.height() : hint.width();
        if (extent >= 0)
            return extent;
        return w ? (vertical ? w->height() : w->width()) : 0;
    }

    QSize Measure(bool AMinimum) const
    {
        int docked = 0, across = 0, inner = 0, innerAcross = 0;
        for (const TEntry &entry : FItems) {
            if (entry.Item->isEmpty())
                continue;
            const QSize size = AMinimum ? entry.Item->minimumSize() : entry.Item->sizeHint();
            switch (entry.Align) {
            case TAlign::alTop:
            case TAlign::alBottom:
                docked += Extent(entry.Item, Qt::Vertical);
                across = std::max(across, size.width());
                break;
            case TAlign::alLeft:
            case TAlign::alRight:
                inner += Extent(entry.Item, Qt::Horizontal);
                innerAcross = std::max(innerAcross, size.height());
                break;
            default:
                inner += std::max(size.width(), 0);
                innerAcross = std::max(innerAcross, size.height());
                break;
            }
        }
        return QSize(std::max(across, inner), docked + innerAcross);
    }

    std::vector<TEntry> FItems;
};

} // namespace

void SetAlign(QWidget *AControl, TAlign AAlign)
{
    QWidget *parent = AControl->parentWidget();
    if (!parent)
        throw ExceptionPos(QStringLiteral("SetAlign: У элемента управления нет родителя."));
    auto *layout = dynamic_cast<TAlignLayout *>(parent->layout());
    if (!layout) {
        if (parent->layout())
            throw ExceptionPos(QStringLiteral("SetAlign: Родитель элемента управления размещает его по-своему."));
        layout = new TAlignLayout(parent);
    }
    const int index = layout->IndexOf(AControl);
    if (AAlign == TAlign::alNone) {
        if (index >= 0)
            delete layout->takeAt(index);
        return;
    }
    if (index >= 0) {
        layout->SetAlignAt(index, AAlign);
    } else {
        layout->addWidget(AControl);
        layout->SetAlignAt(layout->IndexOf(AControl), AAlign);
    }
    // Controls built in code are visible unless hidden on purpose, also on a parent that is
    // already on the screen.
    if (!AControl->testAttribute(Qt::WA_WState_ExplicitShowHide))
        AControl->show();
    layout->activate();
}

TAlign GetAlign(const QWidget *AControl)
{
    const QWidget *parent = AControl->parentWidget();
    const auto *layout = parent ? dynamic_cast<const TAlignLayout *>(parent->layout()) : nullptr;
    if (!layout)
        return TAlign::alNone;
    const int index = layout->IndexOf(AControl);
    return index >= 0 ? layout->AlignAt(index) : TAlign::alNone;
}

namespace {

// Follows the parent's resizing for SetAnchors, with the distances taken when it was set.
class TAnchorKeeper : public QObject
{
public:
    TAnchorKeeper(QWidget *AControl, TAnchors AAnchors) : QObject(AControl), FControl(AControl), FAnchors(AAnchors)
    {
        const QRect at = AControl->geometry();
        const QSize room = AControl->parentWidget()->size();
        FMargins = QMargins(at.left(), at.top(), room.width() - at.right() - 1, room.height() - at.bottom() - 1);
        AControl->parentWidget()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == FControl->parentWidget())
            Follow(static_cast<QResizeEvent *>(event)->size());
        return false;
    }

private:
    // One direction: the control's start and extent from the parent's extent, along the two
    // edges of that direction.
    static void Span(bool AFirst, bool ALast, int AMarginFirst, int AMarginLast, int ARoom, int &AStart, int &AExtent)
    {
        if (AFirst && ALast) {
            AStart = AMarginFirst;
            AExtent = std::max(ARoom - AMarginFirst - AMarginLast, 0);
        } else if (ALast) {
            AStart = ARoom - AMarginLast - AExtent;
        }
    }

    void Follow(const QSize &ARoom)
    {
        int x = FControl->x(), width = FControl->width(), y = FControl->y(), height = FControl->height();
        Span(FAnchors & akLeft, FAnchors & akRight, FMargins.left(), FMargins.right(), ARoom.width(), x, width);
        Span(FAnchors & akTop, FAnchors & akBottom, FMargins.top(), FMargins.bottom(), ARoom.height(), y, height);
        FControl->setGeometry(x, y, width, height);
    }

    QWidget *FControl;
    TAnchors FAnchors;
    QMargins FMargins;
};

} // namespace

void SetAnchors(QWidget *AControl, TAnchors AAnchors)
{
    if (!AControl->parentWidget())
        throw ExceptionPos(QStringLiteral("SetAnchors: У элемента управления нет родителя."));
    // New anchors take the place of the old ones.
    const QObjectList children = AControl->children();
    for (QObject *child : children)
        delete dynamic_cast<TAnchorKeeper *>(child);
    new TAnchorKeeper(AControl, AAnchors);
}

TSplitterBar::TSplitterBar(QWidget *AControl) : QWidget(AControl->parentWidget()), FControl(AControl)
{
    setCursor(Qt::SizeVerCursor);
    setFixedHeight(BarHeight);
    SetAlign(this, TAlign::alTop);
}

void TSplitterBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !FControl)
        return QWidget::mousePressEvent(event);
    FDragging = true;
    FStartY = event->globalPosition().toPoint().y();
    FStartHeight = FControl->height();
}

void TSplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!FDragging || !FControl)
        return QWidget::mouseMoveEvent(event);
    int size = std::max(FStartHeight + event->globalPosition().toPoint().y() - FStartY, 0);
    bool accept = true;
    if (OnCanResize)
        Guarded([&] { accept = OnCanResize(size); });
    if (!accept || size == FControl->height())
        return;
    FControl->setFixedHeight(size);
    if (QLayout *layout = parentWidget()->layout())
        layout->activate();
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FDragging = false;
    QWidget::mouseReleaseEvent(event);
}

void TSplitterBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}
