#pragma once

#include "Atr.h"
#include "CodeTables.h"

class TFormulaTree;

// The editor of a field row (FLD). Saving a new field adds its column to the object's table
// (and for a summing field the three triggers that keep it, and after the commit its first
// sums; for a stored link field its link row and foreign key); a changed formula is written
// as rows of FRMLTREE and FRMLTRPT. While values change it keeps the dependent columns of the
// field card consistent. Everything runs in the caller's write transaction; the repository
// follows after the commit.
class TAtrFld : public TAtr
{
public:
    // Set by the link editor that posts the link row itself.
    bool SkipCreateDep = false;

    void BeforeInsert() override;
    void AtrItemChange(TAtrItem *AAtrItem) override;
    void CheckInsert() override;
    void CheckUpdate() override;
    void DoAfterCommit() override;
    void SetRecId(const Variant &ARecId) override;
    void Post() override;
    void SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;

private:
    // What a new field's schema is built from, read once its row has been inserted.
    struct TNewField {
        TObj *Obj = nullptr;   // unset for a key field, whose object the object editor creates
        QString Field;
        int Size = 0;
        bool Virt = false;
        bool NotNull = false;
        bool Def0 = false;
        TFldType Type = TFldType::ftNone;
        TObjLink *AgrObjLink = nullptr;
        TFld *AgrFld = nullptr;
    };

    Variant ValueOf(const QString &AFldName) const;
    bool FlagOf(const QString &AFldName) const;
    void Set(const QString &AFldName, const Variant &AValue);
    TFldType FldType() const;
    void ClearFormula();

    void FldTypeChanged(TFldType AFldType);
    void FKObjChanged(const Variant &AObjId);
    void AgrFldChanged(const Variant &AFldId);

    void CheckSize();
    void CheckNames(const TObj *AObj, TFldType AFldType);
    void CheckFKRule();
    void CheckAgr(TObj *AObj, TFldType AFldType);
    void CheckSchemaTakes(const TObj &AObj, TFldType AFldType);
    QString NameForUser() const;
    // The summing link and summed field the items name, or nil where the repository has none.
    TObjLink *AgrObjLinkOf(const TObj *AObj) const;
    TFld *AgrFldOf(const TObjLink *ALink) const;

    TNewField ReadNewField() const;
    void CreateField(const TNewField &AField);
    void CreateAgrTriggers(const TNewField &AField);
    void CreateDep(const TNewField &AField);
    void SaveFormula();
    void SaveFormulaTree(TAtr &ATreeAtr, TAtr &APathAtr, TFormulaTree *ANode);

    const TFld *RegisterNewField();
    std::unique_ptr<TObjLink> ReadDep(TFld &AFld);
    void UpdateStoredField();
    void UpdateAgrFld(const TFld &AFld);
    // After the commit the row is saved whatever the after-commit work does.
    void MarkSaved();
};
