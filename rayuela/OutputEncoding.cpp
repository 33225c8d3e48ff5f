#include "rayuela/OutputEncoding.h"

#include <libxml/encoding.h>
#include <libxml/xmlIO.h>

#include <string_view>

#include "rayuela/QuietErrors.h"

namespace vadelux::rayuela::xml {
namespace {

int appendOutput(void* context, const char* buffer, int length) {
  static_cast<std::string*>(context)->append(buffer, static_cast<std::size_t>(length));
  return length;
}

}  // namespace

bool keepsMarkupReadable(const std::string& encoding) {
  const QuietErrors quiet;
  xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(encoding.c_str());
  if (handler == nullptr) {
    return false;
  }
  std::string bytes;
  xmlOutputBuffer* out = xmlOutputBufferCreateIO(appendOutput, nullptr, &bytes, handler);
  if (out == nullptr) {
    xmlCharEncCloseFunc(handler);
    return false;
  }
  constexpr std::string_view kProbe = "<a>";
  xmlOutputBufferWrite(out, static_cast<int>(kProbe.size()), kProbe.data());
  if (xmlOutputBufferClose(out) < 0) {
    return false;
  }
  using namespace std::string_view_literals;
  // ASCII, UTF-8 with a mark, UTF-16 and UTF-32 of either byte order with or without a mark, EBCDIC.
  for (const std::string_view start :
       {"<a>"sv, "\xEF\xBB\xBF<a>"sv, "<\0a\0"sv, "\0<\0a"sv, "\xFF\xFE<\0a\0"sv, "\xFE\xFF\0<\0a"sv,
        "<\0\0\0a\0\0\0"sv, "\0\0\0<\0\0\0a"sv, "\xFF\xFE\0\0<\0\0\0"sv, "\0\0\xFE\xFF\0\0\0<"sv,
        "\x4C\x81\x6E"sv}) {
    if (std::string_view(bytes).starts_with(start)) {
      return true;
    }
  }
  return false;
}

}  // namespace vadelux::rayuela::xml
