// Keeping a large exchange file small while it is parsed, for a caller that reads none of its records or
// only those of some groups.
#pragma once

#include <libxml/parser.h>

namespace vadelux::rayuela::xml {

// Makes the tree builder of `sax` drop the content of every child of /SERVICIO/BLOQUE_DATOS except the
// first (blank text aside): each record is freed when the next one starts and the last when its group
// ends, so the tree never holds more than one record. The first child, the data groups' own elements
// and everything outside the data block stay as a whole parse builds them. Nothing is dropped from a
// file that declares entities, whose expansions libxml2 may share with later references.
void dropRecordsWhileParsing(xmlSAXHandler& sax);

// The same for the records of every later child of /SERVICIO/BLOQUE_DATOS that is not a data group the
// program reads (MATERIAS, ACTIVIDADES, EMPLEADOS, DEPENDENCIAS, CURSOS_DEL_CENTRO, UNIDADES,
// JORNADAS_ESCOLARES, TRAMOS_HORARIOS): a file that also carries its students or marks is read in
// little more memory than the groups that are used.
void dropUnreadGroupsWhileParsing(xmlSAXHandler& sax);

}  // namespace vadelux::rayuela::xml
