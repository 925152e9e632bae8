#pragma once

#include "Atr.h"

class TAtrItemObjTempl;

// The editor of an object row (OBJ). Saving a new object writes its key field's row and creates
// the table, its primary key and its sequence; saving an existing one rewrites its value
// template's rows. Everything runs in the caller's write transaction; the repository follows
// after the commit.
class TAtrObj : public TAtr
{
public:
    void BeforeInsert() override;
    void CheckInsert() override;
    void CheckUpdate() override;
    void DoAfterCommit() override;
    void SetRecId(const Variant &ARecId) override;
    std::unique_ptr<TAtrItem> CreateAtrItem(TFld *AFld) override;
    void Post() override;
    bool Modified() const override;

private:
    // The item of the value template; nil while nobody asked for it.
    TAtrItemObjTempl *TemplItem() const;
    void CheckTemplate();
    // The object's caption as the record has it.
    QString Capt() const;
    void CreateTable();
    void SaveTemplate();
};
