#pragma once

// The File commands on documents, as the menu and the toolbar call them.

class DocumentWindow;

// Saves doc: under its name, or after asking for one when askName is set or
// the document was never saved. True when written; the path then joins the
// recent-file list (keeping its place if listed). A cancelled dialog or a
// failed write sets SaveCancelled, so a close waiting on the save stops; a
// failed write is reported and the document stays modified under its old name.
bool SaveDocument(DocumentWindow *doc, bool askName);

// Save, Save As and Close of the active document; New text document.
void FileSave();
void FileSaveAs();
void FileClose();
void FileNewText();
