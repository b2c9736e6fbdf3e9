#pragma once

#include "documents/rich_document.h"

#include <string_view>

namespace rtf {

// Reads an RTF document into its paragraphs, runs and character formatting (bold, italic,
// underline, font, size, colour). Reading never fails: a damaged document (unbalanced braces, a
// cut-off end, absurd nesting or counts) gives whatever text could be recovered, without a crash,
// a hang or deep recursion, because a learner's file either plays or is simply shorter.
//
// What counts as text:
// - destinations that hold no text of the document are left out: font, colour and style tables,
//   document information, pictures, objects, headers and footers, footnotes and field
//   instructions (a field shows its result);
// - list numbers and bullets written by the document's writer (\listtext) are kept, so a list
//   reads as it looks;
// - table cells end paragraphs, so the words of neighbouring cells never run together;
// - the soft hyphen \- is dropped, so "Mor\-se" plays as one word;
// - unknown control words and symbols are ignored, and so is the text of a group marked \* whose
//   destination is unknown; an unknown group without \* shows its text.
// The document ends where its outermost group closes; bytes after it are ignored.
rich::RichDocument read(std::string_view bytes);

} // namespace rtf
