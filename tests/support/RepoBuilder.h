#pragma once

#include "Main.h"

#include <QString>
#include <QList>
#include <utility>

// Builds a small repository row by row in a test's database copy, each statement committed.
// The connection object must be connected.
class RepoBuilder
{
public:
    explicit RepoBuilder(TDB &db) : FDB(db) {}

    // Deletes every object, and with it every field, link, view, card and formula.
    void Clear() { Exec(QStringLiteral("delete from OBJ")); }
    int AddObj(const QString &table, const QString &capt, bool ref = false, bool meta = false);
    // `type` is the field type's code name ("PK", "Integ" ...); an empty name leaves the type Null.
    int AddFld(int objId, const QString &field, const QString &type, const QString &capt = QString(),
               bool virt = false);
    // A link from the master object to a detail object's link field.
    int AddDep(int parentObjId, int childFldId, const QString &rule = QStringLiteral("NoAction"),
               const QString &name = QString());
    // Describes an existing metadata table (OBJ and FLD rows from the system tables) unless the
    // repository already has an object for it; returns the object's id. Key column as PK, BOOL
    // columns as Boolean, other integers as Integ, texts as String.
    int EnsureDescribed(const QString &table);
    int AddUser(const QString &login);
    // The first column of the first row of a select in the read transaction; Null without a row.
    Variant Scalar(const QString &text, const QList<std::pair<QString, Variant>> &params = {});
    void Exec(const QString &text, const QList<std::pair<QString, Variant>> &params = {});

private:
    TDB &FDB;
};
