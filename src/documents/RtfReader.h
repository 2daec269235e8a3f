#pragma once

#include <QByteArray>

class QTextDocument;

// The study documents are Rich Text Format files, written by word processors on Chinese and
// Western desktops; Qt reads no RTF, so this reader turns it into a QTextDocument.

// True when the bytes are an RTF document: they begin with "{\rtf" (after an optional UTF-8
// byte order mark and white space).
bool LooksLikeRtf(const QByteArray &data);

// Replaces the document's content with the RTF's text, character and paragraph formats, tables
// and PNG/JPEG pictures. Damaged input yields whatever could be read; it never fails harder.
// Returns false, leaving the document empty, when the bytes are not RTF at all.
bool LoadRtf(const QByteArray &rtf, QTextDocument *doc);
