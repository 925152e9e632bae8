#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

// How a control docks in its parent, as the windows built in code place their panels, bars and
// grids: along an edge (keeping its own height or width) or filling what the docked ones leave.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Docks AControl in its parent widget. The parent gets a layout of its own kind on first use (a
// parent that already has another layout is refused); controls dock in the order they were
// aligned: top ones from the top down, bottom ones from the bottom up, then left and right, and
// the client fills the rest. A control docked at the top or bottom keeps its fixed height when it
// has one, else its size hint's height (left and right the same with the width). alNone takes
// the control out of the docking, leaving it where it stands.
void SetAlign(QWidget *AControl, TAlign AAlign);
TAlign GetAlign(const QWidget *AControl);

// The edges of its parent that a control keeps its distance to while the parent is resized.
enum TAnchor { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = int;

// From now on AControl keeps the distances it has at this moment to the anchored edges of its
// parent: anchored to two opposite edges it stretches with the parent, to one it moves with
// that edge, to neither it stays. For a control placed by hand, not docked with SetAlign.
void SetAnchors(QWidget *AControl, TAnchors AAnchors);

// A bar docked at the top right under a top-docked control, which the user drags up and down to
// change that control's height; the controls docked below follow while dragging. Each height
// the drag arrives at is offered to OnCanResize first, which may change it or refuse it.
class TSplitterBar : public QWidget
{
public:
    // Docks at the top of AControl's parent, after what is docked there so far.
    explicit TSplitterBar(QWidget *AControl);

    static constexpr int BarHeight = 3;

    // The new height, adjustable; false keeps the height as it is.
    std::function<bool(int &ANewSize)> OnCanResize;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> FControl;
    bool FDragging = false;
    int FStartY = 0;
    int FStartHeight = 0;
};
