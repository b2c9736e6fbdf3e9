#pragma once

#include "documents/rich_document.h"

#include <string_view>

namespace rtf {

// Reads an RTF document into its paragraphs, runs and character formatting (bold, italic,
// underline, font, size, colour). Reading never fails: a damaged document (unbalanced braces, a
// cut-off end, absurd nesting or counts) gives whatever text could be recovered, without a crash,
// a hang or deep recursion, because a learner's file either plays or is simply shorter.
//
// What counts as text, shown as the document's writer shows it:
// - destinations that hold no text of the document are left out: font, colour and style tables,
//   document information, pictures, objects, headers and footers, field instructions, and the
//   text of footnotes and endnotes, which would break into the sentence they annotate;
// - the reference mark of a footnote or endnote (\chftn) stays in the text as its number, counted
//   and numbered (1, 2, 3; i, ii, iii ...) as the document says;
// - a field shows the result its writer stored (\fldrslt), also when the group is starred;
// - list numbers and bullets written by the document's writer (\listtext, \pntext) are kept, so a
//   list reads as it looks;
// - bytes decode in the code page of their font's charset, else the document's (\ansicpg, \mac,
//   \pc, \pca), double-byte pages included; a page the system does not know reads as 1252;
// - text in the Symbol font shows the characters the font draws (alpha for "a", arrows, bullets);
// - table cells end paragraphs, so the words of neighbouring cells never run together;
// - unknown control words and symbols are ignored, and so is the text of a group marked \* whose
//   destination is unknown; an unknown group without \* shows its text.
// Two choices differ from some other readers on purpose:
// - the soft hyphen \- is dropped, not kept as U+00AD: it only marks where a line may break, and
//   kept it would split "Mor\-se" into two words for the word scanner;
// - of \upr, which carries the same text twice, only its Unicode half \ud is shown: the other half
//   exists for readers without Unicode, and showing both would play the text twice.
// The document ends where its outermost group closes; bytes after it are ignored.
rich::RichDocument read(std::string_view bytes);

} // namespace rtf
