// Whether a text is a whole document of the settings files' XML subset.
// Free of I/O. A settings file that is not is kept aside as damaged, and
// every text written as a settings file must stay inside the subset: the
// store's own saves, and the default settings text that the reset tool and
// the options dialog's default button write over "vesk.egg".
//
// The subset the check accepts, byte by byte:
//   document = [BOM] blanks element blanks
//   element  = "<" name ">" (text | blanks (element blanks)*) "</" name ">"
//   name     = one or more bytes other than NUL, '<', '>', '/' and blanks;
//              the end tag repeats the start tag's name exactly
//   text     = bytes other than NUL, '<' and '>', only in an element that
//              holds no element (between children: blanks only)
//   blanks   = any run of tab, line feed, carriage return and space
//   BOM      = the UTF-8 byte-order mark EF BB BF, once, first
// Exactly one root element, and nothing but blanks after it. Outside the
// subset, and so damage: an XML declaration ("<?xml ...?>"), comments,
// CDATA sections, a DOCTYPE, processing instructions, attributes, empty-
// element tags ("<a/>"), unclosed or crossed elements, a second root. Texts
// are not decoded here: entities such as "&amp;" pass as plain bytes, and
// the store's values are percent-encoded, so they carry none of '<', '>'
// or NUL. Blank lines and CR LF line ends are fine.
#pragma once

#include <cstddef>

namespace vesk::persist {

bool isWholeDocument(const unsigned char* bytes, size_t size);

// Whether text can be written as an element's name and read back as the
// same name: not empty, free of '<', '>', '/', '"', '=', blanks and line
// ends, and not beginning with '!'.
bool isElementName(const char* text);

}  // namespace vesk::persist
