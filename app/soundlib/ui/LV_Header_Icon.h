#pragma once

// The sort arrows in the column headers of a sound library's list.

class QAbstractItemView;

// Shows arrow `ImageIndex` (0 up, 1 down) in header `Column` (from 0) of the
// list, or clears that header's arrow when `Show` is false. Nothing happens
// for a missing list or one that is no sound library's.
void SetHeaderIcon(QAbstractItemView *ListView, int Column, int ImageIndex, bool Show);
