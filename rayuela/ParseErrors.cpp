#include "rayuela/ParseErrors.h"

#include <libxml/xmlerror.h>

#include <string_view>

namespace vadelux::rayuela::xml {
namespace {

const char* wording(int code) {
  switch (code) {
    case XML_ERR_INTERNAL_ERROR:  // what libxml2 reports after an error inside a declaration or element
      return "una parte del archivo no está bien formada";
    case XML_ERR_NO_MEMORY:
      return "no hay memoria suficiente";
    case XML_ERR_DOCUMENT_EMPTY:
      return "el archivo está vacío";
    case XML_ERR_DOCUMENT_START:
      return "no empieza por un elemento";
    case XML_ERR_DOCUMENT_END:
      return "hay contenido después del elemento raíz";
    case XML_ERR_TAG_NAME_MISMATCH:
      return "una etiqueta de cierre no corresponde a la de apertura";
    case XML_ERR_TAG_NOT_FINISHED:
      return "un elemento no está cerrado";
    case XML_ERR_GT_REQUIRED:
      return "falta «>» al final de una etiqueta";
    case XML_ERR_LT_REQUIRED:
    case XML_ERR_LTSLASH_REQUIRED:
      return "falta la etiqueta de cierre de un elemento";
    case XML_ERR_LT_IN_ATTRIBUTE:
      return "hay un «<» dentro del valor de un atributo";
    case XML_ERR_ATTRIBUTE_REDEFINED:
      return "un atributo aparece dos veces en el mismo elemento";
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
      return "un atributo no tiene su valor entre comillas";
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
      return "el valor de un atributo no termina con sus comillas";
    case XML_ERR_EQUAL_REQUIRED:
      return "falta «=» tras el nombre de un atributo";
    case XML_ERR_SPACE_REQUIRED:
      return "falta un espacio entre dos partes de una etiqueta o declaración";
    case XML_ERR_XMLDECL_NOT_FINISHED:
    case XML_ERR_VERSION_MISSING:
      return "la declaración XML del principio no está completa";
    case XML_ERR_ENCODING_NAME:
      return "el nombre de la codificación no es válido";
    case XML_ERR_PI_NOT_STARTED:
    case XML_ERR_PI_NOT_FINISHED:
      return "una instrucción de procesamiento («<?») no está completa";
    case XML_ERR_DOCTYPE_NOT_FINISHED:
    case XML_ERR_ENTITY_NOT_STARTED:
    case XML_ERR_ENTITY_NOT_FINISHED:
    case XML_ERR_VALUE_REQUIRED:
    case XML_ERR_ATTLIST_NOT_FINISHED:
    case XML_ERR_ELEMCONTENT_NOT_STARTED:
    case XML_ERR_ELEMCONTENT_NOT_FINISHED:
    case XML_ERR_NOTATION_NOT_FINISHED:
      return "la declaración DOCTYPE del principio no está completa";
    case XML_ERR_STRING_NOT_STARTED:
    case XML_ERR_STRING_NOT_CLOSED:
    case XML_ERR_LITERAL_NOT_STARTED:
    case XML_ERR_LITERAL_NOT_FINISHED:
      return "un texto entre comillas no está bien delimitado";
    case XML_ERR_NAME_REQUIRED:
      return "falta un nombre donde debe haberlo (¿un «<» o un «&» sueltos?)";
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
      return "falta «;» al final de una referencia a entidad";
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
      return "usa una entidad que no está declarada";
    case XML_ERR_ENTITY_LOOP:
      return "sus entidades se expanden sin medida";
    case XML_ERR_UNSUPPORTED_ENCODING:
      return "la codificación que declara no se admite";
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_ENCODING:
      return "contiene caracteres que no son válidos en su codificación";
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_HEX_CHARREF:
    case XML_ERR_INVALID_CHARREF:
      return "una referencia a carácter no es válida";
    case XML_ERR_COMMENT_NOT_FINISHED:
      return "un comentario no está cerrado";
    case XML_ERR_HYPHEN_IN_COMMENT:
      return "un comentario contiene «--»";
    case XML_ERR_CDATA_NOT_FINISHED:
      return "una sección CDATA no está cerrada";
    case XML_ERR_RESERVED_XML_NAME:
      return "la declaración XML no está al principio del archivo";
    case XML_ERR_EXTRA_CONTENT:
      return "hay contenido después del elemento raíz";
    default:
      return nullptr;
  }
}

}  // namespace

std::string spanishReason(int code, const char* libxmlMessage) {
  if (const char* text = wording(code)) {
    return text;
  }
  std::string_view detail = libxmlMessage != nullptr ? libxmlMessage : "";
  while (!detail.empty() && (detail.back() == '\n' || detail.back() == ' ')) {
    detail.remove_suffix(1);
  }
  return "error de XML n.º " + std::to_string(code) +
         (detail.empty() ? "" : " (" + std::string(detail) + ")");
}

}  // namespace vadelux::rayuela::xml
