// Column and reflow operations of the tablature document.
#include "document/FretlyDoc.h"

// Not yet written; see the column-operations work.
void CFretlyDoc::InsertColumns(int, int, int) {}
void CFretlyDoc::DeleteColumn(int, int) {}
void CFretlyDoc::MoveDown(int, int) {}
void CFretlyDoc::MergeUp(int) {}
