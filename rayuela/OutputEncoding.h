// Which encodings a document can be written in so that a reader finds its markup again.
#pragma once

#include <string>

namespace vadelux::rayuela::xml {

// Whether text written in `encoding` keeps its markup where readers look for it: '<' comes out as in
// ASCII, UTF-16, UTF-32 or EBCDIC, all of which readers recognise by the first bytes. An encoding such as
// UTF-7 writes '<' as other characters, and no reader could find the elements of such a file.
bool keepsMarkupReadable(const std::string& encoding);

}  // namespace vadelux::rayuela::xml
