#pragma once

#include <QString>
#include <QStringList>
#include <set>

class QObject;
class TFld;
class TObj;
class TObjLink;
class TWinTbl;

// The repository entries that deleting one metadata row frees once its delete has committed: an
// object with its fields and links, a field with the link of a link field, or a link with its
// link field. Whatever else points at them has to let go first, or refuse the delete. The same
// sets name what adding a field or a link has just brought, for the lists that are to show it.
class TFreedEntries
{
public:
    static TFreedEntries OfObj(TObj *AObj);
    static TFreedEntries OfFld(TFld *AFld);
    static TFreedEntries OfLink(TObjLink *ALink);

    std::set<const TObj *> Objs;
    std::set<const TFld *> Flds;
    std::set<const TObjLink *> Links;

    bool Has(const TObj *AObj) const { return Objs.count(AObj) > 0; }
    bool Has(const TFld *AFld) const { return Flds.count(AFld) > 0; }
    bool Has(const TObjLink *ALink) const { return Links.count(ALink) > 0; }

    // Refuses the delete, naming them, when formulas of other fields, value templates of other
    // objects or link fields of other objects read the entries: they would be left reading
    // nothing, in memory as in the database. The error box stands over AParent.
    void CheckReaders(QObject *AParent) const;
    // Whether the table window shows any of the entries: its object, link, columns or filters.
    bool UsedBy(const TWinTbl &AWinTbl) const;
    // The summing fields of the remaining objects that summed along a freed link or a freed
    // field become plain ones, as the database has made them.
    void ReleaseSumming() const;
    // Frees a deleted field and, for a link field, its link (nil for a virtual one): the summing
    // fields that used them let go first, then both leave their lists.
    void FreeFld(TFld *AFld, TObjLink *ALink) const;

private:
    void AddObj(TObj *AObj);
    void AddFld(TFld *AFld);
    // The texts of the formulas, templates and link fields outside the entries that read them.
    QStringList Readers() const;
};

// What a metadata list asks of the window around it when a delete is to free repository entries,
// or when an add has brought new ones: that window knows which other windows and editors show them.
class TEntryUsers
{
public:
    virtual ~TEntryUsers() = default;

    // Raises when something that cannot let go uses the entries.
    virtual void CheckRelease(const TFreedEntries &AEntries) = 0;
    // Before an object's table is dropped: the windows showing the object are closed and the
    // read transaction no longer holds its table.
    virtual void ReleaseTable(const TFreedEntries &AEntries) = 0;
    // After the commit, before the entries are freed: nothing shows them any more. ADeleter, the
    // list that deleted them, drops its own row.
    virtual void Release(const TFreedEntries &AEntries, const TWinTbl &ADeleter) = 0;
    // After the commit of a new row, once its entries are in the repository: whatever else shows
    // them follows. AAdder, the list that added the row, shows it already.
    virtual void Added(const TFreedEntries &AEntries, const TWinTbl &AAdder) = 0;
};
