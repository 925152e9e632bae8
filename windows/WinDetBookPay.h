#pragma once

#include "WinDetBook.h"

// The detail part of a new payment's card: the deal's products with check boxes, the rows
// that still owe something ticked, and the buttons that tick and untick them.
class TWinDetBookPay : public TWinDetBook
{
public:
    using TWinDetBook::TWinDetBook;

    // The products of the deal ("DealProd"), whatever detail book the user chose.
    void LoadDetBook(int AUserId, TObj *AObj) override;
    // The products table must show what is to be paid and what is paid.
    void Init(TObj *AObj, int AUserId) override;
};
