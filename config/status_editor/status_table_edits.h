#pragma once
// The editing operations of the status-table editor as plain functions on the
// status-table array (rows 0 to 99, columns 0 to 5 as start-up dimensions it).
//
// Used rows form a block from the first row down; a row is free when its
// status definition (column 0) is the empty text or holds nothing. The editor
// fills the rows above the last one only (0 to 98): the last row never counts
// as free, so a table takes at most 99 entries from the editor, and no row
// outside those is ever opened or written. A cell that holds nothing counts as
// the empty text; the scans below store the empty text into such cells where
// they pass.
#include <string>

#include "platform/ansi_text.h"
#include "platform/data_array.h"

namespace tarvex {

// The six texts of one status entry, in column order.
struct StatusEntryTexts {
  std::string StatusDefinition;
  std::string DDEField;
  std::string FirstCharPos;
  std::string FieldLength;
  std::string BitMask;
  std::string Enabled;  // "X" used, " " not used
};

// The first free row, or -1 when none of the rows above the last is free. The
// scan stores the empty text into column-0 cells holding nothing up to the row
// it stops at.
long FirstEmptyEntry(DataArray& table);

// The last row of the table the editor may open or write (98).
long LastEditableRow(const DataArray& table);
bool IsEditableRow(const DataArray& table, long row);

// The lowest row the list may make current: the first free row, or the last
// editable row when the table is full.
long RowChangeLimit(DataArray& table);

// Stores the empty text into every cell of row that holds nothing; true when
// all six cells of the row are then the empty text.
bool PrepareRowForOpening(DataArray& table, long row);

// The entry's texts into row's six cells, untrimmed.
void WriteEntry(DataArray& table, long row, const StatusEntryTexts& entry);

// Rows row to 98 move one down (the last row's content is lost), then the
// entry goes into row.
void InsertEntry(DataArray& table, long row, const StatusEntryTexts& entry);

// Rows below row move one up; every cell of the last row becomes the empty
// text.
void DeleteEntry(DataArray& table, long row);

}  // namespace tarvex
