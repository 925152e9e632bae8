#pragma once

#include <functional>

class TWinDet;

// The events of a detail pane; the pane passes itself.
using TDetEvent = std::function<void(TWinDet *Sender)>;

// One page of a card's detail book: the details of the card's record, shown once the record's
// key is known. Abstract; the table pane is the one kind there is.
class TWinDet
{
public:
    TWinDet() = default;
    virtual ~TWinDet() = default;
    TWinDet(const TWinDet &) = delete;
    TWinDet &operator=(const TWinDet &) = delete;

    TDetEvent OnNewRecord;     // the pane's add action is starting
    TDetEvent OnAfterChange;   // data of the pane changed

    // The key of the card's record, read by the next Open.
    virtual void SetParentId(int Value) = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    // Lets the pane add a detail while it is closed: the card saves its new record first.
    virtual void EnableAddBtn() = 0;
    // Reads the rows of an open pane again; a closed one stays closed.
    virtual void Refresh() = 0;
};
