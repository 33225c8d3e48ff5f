#include "rayuela/Parser.h"

#include <fcntl.h>
#include <libxml/SAX2.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "rayuela/Document.h"
#include "rayuela/NodeText.h"
#include "rayuela/ParseErrors.h"
#include "rayuela/QuietErrors.h"
#include "rayuela/RecordPruning.h"

namespace vadelux::rayuela::xml {
namespace {

// Read-only descriptor of the input file, closed on every path.
class InputFile {
 public:
  explicit InputFile(const std::filesystem::path& file)
      : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)), error_(fd_ < 0 ? errno : 0) {}
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  int fd() const { return fd_; }
  int error() const { return error_; }

 private:
  int fd_;
  int error_;
};

struct Problem {
  bool found = false;
  int code = 0;
  std::string message;
  int line = 0;
  int column = 0;
};

// What the callbacks learn during one parse; reached through the parser context's private pointer.
struct ParseState {
  xmlParserCtxt* parser = nullptr;
  int fd = -1;
  off_t size = 0;
  int readErrno = 0;
  Problem fatal;
  Problem error;
  bool refused = false;
  std::string refusedName;
  int refusedLine = 0;
  int refusedColumn = 0;
  // The input's bytes could not be converted from the declared encoding; the parser itself only sees
  // its input end early.
  bool badEncoding = false;
};

ParseState* stateOf(void* ctx) {
  auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
  return ctxt != nullptr ? static_cast<ParseState*>(ctxt->_private) : nullptr;
}

int readInput(void* context, char* buffer, int length) {
  auto* state = static_cast<ParseState*>(context);
  for (;;) {
    const ssize_t n = ::read(state->fd, buffer, static_cast<std::size_t>(length));
    if (n >= 0) {
      return static_cast<int>(n);
    }
    if (errno != EINTR) {
      state->readErrno = errno;
      return -1;
    }
  }
}

int closeInput(void*) {
  return 0;
}

// Collects libxml2's errors for the message instead of letting it print them.
void onError(void* ctx, xmlError* error) {
  ParseState* state = stateOf(ctx);
  if (state == nullptr || error == nullptr || error->level < XML_ERR_ERROR) {
    return;
  }
  Problem& slot = error->level == XML_ERR_FATAL ? state->fatal : state->error;
  if (!slot.found) {
    slot =
        Problem{true, error->code, error->message != nullptr ? error->message : "", error->line, error->int2};
    // Inside an entity's text libxml2 counts from the entity; the place in the file is where the file's own
    // input stands.
    const xmlParserCtxt* parser = state->parser;
    if (parser != nullptr && parser->inputNr > 0 && parser->inputTab[0] != nullptr) {
      slot.line = parser->inputTab[0]->line;
      slot.column = parser->inputTab[0]->col;
    }
  }
}

// Errors that libxml2 raises outside the parser, such as a failed conversion of the input.
void onLibraryError(void* context, xmlError* error) {
  auto* state = static_cast<ParseState*>(context);
  if (error != nullptr && (error->domain == XML_FROM_I18N || error->code == XML_IO_ENCODER)) {
    state->badEncoding = true;
  }
}

// External entities, parameter ones included, are refused where they are declared, so nothing can ever
// load them. libxml2 has no per-parser entity loader, and the global one would reach every user of the
// library in the process; the declaration hook is per parser.
void refuse(void* ctx, const xmlChar* name) {
  auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
  ParseState* state = stateOf(ctx);
  if (state != nullptr && !state->refused) {
    state->refused = true;
    state->refusedName = name != nullptr ? reinterpret_cast<const char*>(name) : "";
    const xmlParserInput* input = ctxt->inputNr > 0 ? ctxt->inputTab[0] : ctxt->input;
    state->refusedLine = input != nullptr ? input->line : 0;
    state->refusedColumn = input != nullptr ? input->col : 0;
  }
  xmlStopParser(ctxt);
}

void onEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                  xmlChar* content) {
  if (type == XML_INTERNAL_GENERAL_ENTITY || type == XML_INTERNAL_PARAMETER_ENTITY) {
    xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
  } else {
    refuse(ctx, name);
  }
}

void onUnparsedEntityDecl(void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*, const xmlChar*) {
  refuse(ctx, name);
}

// Whitespace that libxml2 takes for blanks between elements. It decides before it sees what follows a line
// break, so a run that does not reach markup goes back into the text; runs that do are whitespace-only
// text nodes, which the document drops anyway. Dropping them here keeps large files small while parsing.
void onIgnorableWhitespace(void* ctx, const xmlChar* ch, int len) {
  const auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
  if (ctxt->input == nullptr || ctxt->input->cur == nullptr || *ctxt->input->cur != '<') {
    xmlSAX2Characters(ctx, ch, len);
  }
}

// The external DTD subset is never read.
void onExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}

xmlParserInput* onResolveEntity(void* ctx, const xmlChar*, const xmlChar* systemId) {
  refuse(ctx, systemId);
  return nullptr;
}

std::string where(int line, int column) {
  return "(línea " + std::to_string(line) + ", columna " + std::to_string(column) + ")";
}

std::string systemReason(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "no hay permiso para leerlo";
    case EISDIR:
      return "es una carpeta";
    default:
      return std::strerror(err);
  }
}

[[noreturn]] void cannotRead(const std::filesystem::path& file, const std::string& reason) {
  throw DocumentError("No se puede leer el archivo " + file.string() + ": " + reason);
}

[[noreturn]] void throwParseFailure(const std::filesystem::path& file, const ParseState& state,
                                    const xmlParserCtxt& ctxt) {
  if (state.readErrno != 0) {
    cannotRead(file, systemReason(state.readErrno));
  }
  if (state.refused) {
    throw DocumentError("El archivo " + file.string() + " declara la entidad externa «" + state.refusedName +
                        "», que no se admite " + where(state.refusedLine, state.refusedColumn));
  }
  Problem problem = state.fatal.found ? state.fatal : state.error;
  if (!problem.found) {
    const xmlError& last = ctxt.lastError;
    problem = Problem{true, last.code, last.message != nullptr ? last.message : "", last.line, last.int2};
  }
  // libxml2 says "empty" also of a file with text but no element.
  const std::string reason = state.badEncoding ? spanishReason(XML_ERR_INVALID_ENCODING, nullptr)
                             : problem.code == XML_ERR_DOCUMENT_EMPTY && state.size > 0
                                 ? "no contiene ningún elemento XML"
                                 : spanishReason(problem.code, problem.message.c_str());
  throw DocumentError("El archivo " + file.string() + " no es un XML bien formado: " + reason + " " +
                      where(problem.line, problem.column));
}

}  // namespace

ParsedFile parseFile(const std::filesystem::path& file, Keep keep) {
  xmlInitParser();
  const QuietErrors quiet;  // encoding errors of the input would go to the standard error
  const InputFile input(file);
  if (input.fd() < 0) {
    if (input.error() == ENOENT || input.error() == ENOTDIR) {
      throw DocumentError("No existe el archivo " + file.string());
    }
    cannotRead(file, systemReason(input.error()));
  }
  struct stat st {};
  if (::fstat(input.fd(), &st) != 0) {
    cannotRead(file, systemReason(errno));
  }
  if (!S_ISREG(st.st_mode)) {
    cannotRead(file, S_ISDIR(st.st_mode) ? systemReason(EISDIR) : "no es un archivo normal");
  }
  // A regular file never blocks; reading goes on with an ordinary descriptor.
  ::fcntl(input.fd(), F_SETFL, ::fcntl(input.fd(), F_GETFL) & ~O_NONBLOCK);

  ParseState state;
  xmlSetStructuredErrorFunc(&state, onLibraryError);  // until `quiet` puts back the one before
  state.fd = input.fd();
  state.size = st.st_size;

  xmlSAXHandler sax{};
  xmlSAXVersion(&sax, 2);
  sax.serror = onError;
  sax.entityDecl = onEntityDecl;
  sax.unparsedEntityDecl = onUnparsedEntityDecl;
  sax.externalSubset = onExternalSubset;
  sax.resolveEntity = onResolveEntity;

  const ParserContext ctxt(
      xmlCreateIOParserCtxt(&sax, nullptr, readInput, closeInput, &state, XML_CHAR_ENCODING_NONE));
  if (!ctxt) {
    cannotRead(file, state.readErrno != 0 ? systemReason(state.readErrno) : "no hay memoria suficiente");
  }
  ctxt->_private = &state;
  state.parser = ctxt.get();
  // Internal entities are expanded in place (libxml2 caps their growth); external ones never get declared.
  xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR |
                                    XML_PARSE_NOWARNING | XML_PARSE_COMPACT);
  ctxt->sax->ignorableWhitespace = onIgnorableWhitespace;  // after the options, which set their own
  if (keep == Keep::FirstDataGroupOnly) {
    dropRecordsWhileParsing(*ctxt->sax);
  } else if (keep == Keep::GroupsRead) {
    dropUnreadGroupsWhileParsing(*ctxt->sax);
  }
  xmlParseDocument(ctxt.get());

  DocHandle doc(ctxt->myDoc);
  ctxt->myDoc = nullptr;
  if (!doc || !ctxt->wellFormed || state.refused || state.readErrno != 0) {
    throwParseFailure(file, state, *ctxt);
  }
  if (xmlNode* root = xmlDocGetRootElement(doc.get())) {
    dropBlankText(root);
  }
  // libxml2 marks a document without XML declaration with standalone -1.
  const bool declared = doc->standalone != -1;
  return ParsedFile{std::move(doc), declared};
}

}  // namespace vadelux::rayuela::xml
