#pragma once
// Scans over the person and marriage tables. Every scan runs over slots in
// ascending order and the first match wins, except Get_EasyMarries, which keeps the
// last match of each kind. "Used" means InUse = 1 unless stated otherwise. A person
// or marriage argument outside the tables finds nothing.

namespace model {

// First used marriage 1..1024 with the person in a child slot 0..19: 0 with
// Sel_ChildKou/Sel_ChildSlot set; -1 leaves them as they were.
int Get_ChildKou(int person);
// As Get_ChildKou, but a registration with kodo_link <> -1 and kodo_honsuji <> 1 is
// passed over.
int Get_ChildKouLinked(int person);
// The person's child slot 0..19 in a used marriage: 0 with Sel_ChildKou/Sel_ChildSlot
// set, else -1.
int Get_ChildSlot(int kou, int person);
// The person's child slot 0..19 in a used marriage, else -1.
int Find_KodoSlot(int kou, int person);
// First used marriage 0..1024 with the person as husband or wife, else -1.
int Find_PersonMarry(int person);
// First used marriage start..1024 with the person as husband or wife, else -1.
int Find_NextMarry(int person, int start);
// First used marriage start..1024 holding the person in a child entry 0..20: the
// marriage, with slot set; else -1 and slot -1.
int Find_NextParentKou(int person, int start, int& slot);
// First marriage 1..1024 whose InUse is not -1 with the person as husband or wife or
// (same record) in a child slot 0..19, else -1.
int Get_PersonKou(int person);
// The marriage that carries the line of a person registered in several marriages:
// the adoption history of the person's slot in kou when kou is given and it names a
// slot that holds a marriage record, else the first used marriage where the person's
// registration has kodo_honsuji <> -1; -1.
int Find_HonsujiKou(int person, int kou);
// -2 when the person is husband or wife of the marriage or of one of its ancestor
// marriages (husband's side first), else -1. A marriage of -1 gives -1, -2 gives -2.
// Each ancestor marriage is walked once; a cycle of descent (a damaged file) or a
// marriage outside the table answers -2, which refuses the operation asking.
int Check_Ancestor(int kou, int person);
// Easy_MarryKou, Easy_BlankKou, Easy_OtherKou := the person's last normal marriage
// to a real partner, to the blank partner, and last other relation (-1 none).
void Get_EasyMarries(int person);

} // namespace model
