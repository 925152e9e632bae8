#pragma once

#include <QString>

class TCard;
class TIBSQL;
class TTbl;

// Deletes every row of one tree (the rows of ATable whose AOwnerColumn is AOwnerId) in the
// caller's write transaction, in time linear in the rows: the rows after a deleted node are not
// renumbered, as a tree written anew does not need it.
void DeleteTree(TIBSQL &AIBSQLC, const QString &ATable, const QString &AOwnerColumn, int AOwnerId);

// Writing a table view's column tree and a card's control tree back to the database, inside the
// caller's write transaction: the tree's rows are deleted, the tree is renumbered from 1 in
// pre-order and every node is inserted anew through a record editor, with a fresh key.
// A tree without a root leaves no rows.
void SaveTree(TTbl &ATbl);
void SaveTree(TCard &ACard);

// Writes a card's area sizes (CARD_HEIGHTATR, CARD_HEIGHTDET, CARD_WIDTH) through a record
// editor; the row is only updated when a value changed.
void SaveCard(TCard &ACard);

// The whole save of a table view's column tree, or of a card's sizes with its control tree, in a
// write transaction of its own: rolled back when anything fails, the error passing on, and
// committed otherwise. Once committed the save has succeeded: the engine is then asked to clear
// away the rows it deleted, as best it can, and nothing that goes wrong there is reported.
void CommitTree(TTbl &ATbl);
void CommitCard(TCard &ACard);
