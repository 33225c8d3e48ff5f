// Keeps libxml2 from printing its own English messages on the standard error while a file is read or
// written: the reader reports every problem itself, in Spanish. libxml2 keeps these handlers per thread,
// and the guard puts back whatever was there before.
#pragma once

#include <libxml/xmlerror.h>

namespace vadelux::rayuela::xml {

class QuietErrors {
 public:
  QuietErrors()
      : generic_(xmlGenericError),
        genericContext_(xmlGenericErrorContext),
        structured_(xmlStructuredError),
        structuredContext_(xmlStructuredErrorContext) {
    xmlSetGenericErrorFunc(nullptr, ignoreGeneric);
    xmlSetStructuredErrorFunc(nullptr, ignoreStructured);
  }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;
  ~QuietErrors() {
    xmlSetGenericErrorFunc(genericContext_, generic_);
    xmlSetStructuredErrorFunc(structuredContext_, structured_);
  }

 private:
  static void ignoreGeneric(void*, const char*, ...) {}
  static void ignoreStructured(void*, xmlError*) {}

  xmlGenericErrorFunc generic_;
  void* genericContext_;
  xmlStructuredErrorFunc structured_;
  void* structuredContext_;
};

}  // namespace vadelux::rayuela::xml
