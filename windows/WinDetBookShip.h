#pragma once

#include "WinDetBook.h"

// The detail part of a new shipment's card: the deal's products, the quantity to ship now
// typed into the column of the quantity shipped, and the buttons that fill it in or clear it.
class TWinDetBookShip : public TWinDetBook
{
public:
    using TWinDetBook::TWinDetBook;

    // The products of the deal ("DealProd"), whatever detail book the user chose.
    void LoadDetBook(int AUserId, TObj *AObj) override;
    // The products table must show what is to be shipped and what is shipped.
    void Init(TObj *AObj, int AUserId) override;
};
