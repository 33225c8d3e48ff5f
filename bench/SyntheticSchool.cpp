#include "bench/SyntheticSchool.h"

#include <array>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "bench/SeededRandom.h"
#include "common/AtomicFile.h"
#include "common/Text.h"
#include "tables/Nivelex.h"

namespace vadelux::bench {
namespace {

// Sizes of one school (1x).
constexpr std::size_t kTeachersPerSchool = 150;
constexpr std::size_t kRoomsPerSchool = 120;
constexpr std::size_t kSubjectsPerCourse = 24;  // 25 courses x 24 = 600 subject records
constexpr std::size_t kSlotsPerTemplate = 14;

// The lists below are UTF-8; every value is converted to Windows-1252 when it is generated.
std::string cp(std::string_view utf8) {
  return text::toWindows1252(utf8);
}

enum Family { kEso, kBach, kFpb, kCfgm, kCfgs, kEspa, kDiv };

struct CourseKind {
  const char* name;
  const char* tag;  // how the school names the course's units
  char year;
  const char* level;
  const char* study;
  int units;
  Family family;
};

// The 25 courses of a large secondary school.
constexpr std::array<CourseKind, 25> kCourseKinds{{
    {"1º de E.S.O.", "ESO", '1', "ESO", "Educación Secundaria Obligatoria", 5, kEso},
    {"2º de E.S.O.", "ESO", '2', "ESO", "Educación Secundaria Obligatoria", 5, kEso},
    {"3º de E.S.O.", "ESO", '3', "ESO", "Educación Secundaria Obligatoria", 5, kEso},
    {"4º de E.S.O.", "ESO", '4', "ESO", "Educación Secundaria Obligatoria", 5, kEso},
    {"1º Bachillerato (Ciencias y Tecnología)", "BCT", '1', "BCT", "Bachillerato de Ciencias y Tecnología", 2,
     kBach},
    {"2º Bachillerato (Ciencias y Tecnología)", "BCT", '2', "BCT", "Bachillerato de Ciencias y Tecnología", 2,
     kBach},
    {"1º Bachillerato (Humanidades y CC. Sociales)", "BHC", '1', "BHCS",
     "Bachillerato de Humanidades y Ciencias Sociales", 2, kBach},
    {"2º Bachillerato (Humanidades y CC. Sociales)", "BHC", '2', "BHCS",
     "Bachillerato de Humanidades y Ciencias Sociales", 2, kBach},
    {"1º Bachillerato (Artes)", "BAR", '1', "BAR", "Bachillerato de Artes", 2, kBach},
    {"2º Bachillerato (Artes)", "BAR", '2', "BAR", "Bachillerato de Artes", 2, kBach},
    {"1º Bachillerato General", "BGE", '1', "BGEN", "Bachillerato General", 2, kBach},
    {"2º Bachillerato General", "BGE", '2', "BGEN", "Bachillerato General", 2, kBach},
    {"1º F.P. Básica Informática y Comunicaciones", "FPB", '1', "FPB", "Formación Profesional Básica", 1,
     kFpb},
    {"2º F.P. Básica Informática y Comunicaciones", "FPB", '2', "FPB", "Formación Profesional Básica", 1,
     kFpb},
    {"1º C.F.G.M. Gestión Administrativa", "GAD", '1', "CFGM", "Ciclo Formativo de Grado Medio", 2, kCfgm},
    {"2º C.F.G.M. Gestión Administrativa", "GAD", '2', "CFGM", "Ciclo Formativo de Grado Medio", 2, kCfgm},
    {"1º C.F.G.M. Sistemas Microinformáticos y Redes", "SMR", '1', "CFGM", "Ciclo Formativo de Grado Medio",
     2, kCfgm},
    {"2º C.F.G.M. Sistemas Microinformáticos y Redes", "SMR", '2', "CFGM", "Ciclo Formativo de Grado Medio",
     2, kCfgm},
    {"1º C.F.G.S. Administración y Finanzas", "AFI", '1', "CFGS", "Ciclo Formativo de Grado Superior", 2,
     kCfgs},
    {"2º C.F.G.S. Administración y Finanzas", "AFI", '2', "CFGS", "Ciclo Formativo de Grado Superior", 2,
     kCfgs},
    {"1º C.F.G.S. Desarrollo de Aplicaciones Web", "DAW", '1', "CFGS", "Ciclo Formativo de Grado Superior", 2,
     kCfgs},
    {"2º C.F.G.S. Desarrollo de Aplicaciones Web", "DAW", '2', "CFGS", "Ciclo Formativo de Grado Superior", 2,
     kCfgs},
    {"Nivel I de E.S.P.A.", "EPA", '1', "ESPA", "Educación Secundaria para Personas Adultas", 2, kEspa},
    {"Nivel II de E.S.P.A.", "EPA", '2', "ESPA", "Educación Secundaria para Personas Adultas", 2, kEspa},
    {"3º Diversificación Curricular", "DIV", '3', "DIV", "Programa de Diversificación Curricular", 2, kDiv},
}};

// Subjects of each family; a course takes kSubjectsPerCourse of them, starting at a place that depends
// on its year, so that courses of one family share most names.
const std::vector<std::vector<const char*>>& subjectPools() {
  static const std::vector<std::vector<const char*>> pools{
      // ESO
      {"Lengua Castellana y Literatura",
       "Matemáticas",
       "Inglés",
       "Geografía e Historia",
       "Biología y Geología",
       "Física y Química",
       "Educación Física",
       "Música",
       "Educación Plástica, Visual y Audiovisual",
       "Tecnología y Digitalización",
       "Religión Católica",
       "Atención Educativa",
       "Francés",
       "Cultura Clásica",
       "Latín",
       "Economía y Emprendimiento",
       "Valores Cívicos y Éticos",
       "Tutoría",
       "Matemáticas A",
       "Matemáticas B",
       "Proyecto Interdisciplinar",
       "Oratoria y Debate",
       "Computación y Robótica",
       "Expresión Artística",
       "Formación y Orientación Personal y Profesional",
       "Digitalización",
       "Segunda Lengua Extranjera: Alemán",
       "Refuerzo de Matemáticas"},
      // Bachillerato
      {"Lengua Castellana y Literatura",
       "Filosofía",
       "Historia de España",
       "Inglés",
       "Educación Física",
       "Matemáticas",
       "Matemáticas Aplicadas a las Ciencias Sociales",
       "Física",
       "Química",
       "Biología",
       "Dibujo Técnico",
       "Tecnología e Ingeniería",
       "Latín",
       "Griego",
       "Economía",
       "Historia del Mundo Contemporáneo",
       "Literatura Universal",
       "Historia del Arte",
       "Geografía",
       "Dibujo Artístico",
       "Cultura Audiovisual",
       "Proyectos Artísticos",
       "Francés",
       "Religión Católica",
       "Anatomía Aplicada",
       "Psicología",
       "Tecnologías de la Información y la Comunicación",
       "Empresa y Diseño de Modelos de Negocio"},
      // FP Básica
      {"Montaje y Mantenimiento de Sistemas y Componentes Informáticos",
       "Operaciones Auxiliares para la "
       "Configuración y la Explotación",
       "Equipos Eléctricos y Electrónicos",
       "Instalación y Mantenimiento de Redes",
       "Ciencias Aplicadas",
       "Comunicación y Sociedad",
       "Tutoría",
       "Formación en Centros de Trabajo",
       "Prevención de Riesgos Laborales",
       "Itinerario Personal para la Empleabilidad",
       "Inglés Profesional",
       "Digitalización Aplicada",
       "Sostenibilidad Aplicada",
       "Proyecto Intermodular",
       "Educación Física",
       "Atención al Cliente",
       "Matemáticas Aplicadas",
       "Lengua Castellana",
       "Ciencias Sociales",
       "Taller de Informática",
       "Redes Locales",
       "Ofimática Básica",
       "Archivo y Comunicación",
       "Religión Católica",
       "Atención Educativa"},
      // Grado medio
      {"Comunicación Empresarial y Atención al Cliente",
       "Operaciones Administrativas de Compraventa",
       "Empresa y Administración",
       "Tratamiento Informático de la Información",
       "Técnica Contable",
       "Formación y Orientación Laboral",
       "Inglés Profesional",
       "Montaje y Mantenimiento de Equipos",
       "Sistemas Operativos Monopuesto",
       "Aplicaciones Ofimáticas",
       "Redes Locales",
       "Sistemas Operativos en Red",
       "Seguridad Informática",
       "Servicios en Red",
       "Aplicaciones Web",
       "Empresa e Iniciativa Emprendedora",
       "Operaciones Administrativas de Recursos Humanos",
       "Tratamiento de la Documentación Contable",
       "Operaciones Auxiliares de Gestión de Tesorería",
       "Formación en Centros de Trabajo",
       "Digitalización Aplicada a los Sectores Productivos",
       "Sostenibilidad Aplicada al Sistema Productivo",
       "Itinerario Personal para la Empleabilidad I",
       "Proyecto Intermodular",
       "Tutoría"},
      // Grado superior
      {"Gestión de la Documentación Jurídica y Empresarial",
       "Recursos Humanos y Responsabilidad Social Corporativa",
       "Ofimática y Proceso de la Información",
       "Proceso Integral de la Actividad Comercial",
       "Comunicación y Atención al Cliente",
       "Gestión de Recursos Humanos",
       "Gestión Financiera",
       "Contabilidad y Fiscalidad",
       "Gestión Logística y Comercial",
       "Simulación Empresarial",
       "Sistemas Informáticos",
       "Bases de Datos",
       "Programación",
       "Lenguajes de Marcas y Sistemas de Gestión",
       "Entornos de Desarrollo",
       "Desarrollo Web en Entorno Cliente",
       "Desarrollo Web en Entorno Servidor",
       "Despliegue de Aplicaciones Web",
       "Diseño de Interfaces Web",
       "Proyecto Intermodular",
       "Formación y Orientación Laboral",
       "Inglés Profesional",
       "Formación en Centros de Trabajo",
       "Digitalización Aplicada a los Sectores Productivos",
       "Tutoría"},
      // ESPA
      {"Ámbito de Comunicación",
       "Ámbito Social",
       "Ámbito Científico-Tecnológico",
       "Inglés",
       "Tutoría",
       "Ámbito de Comunicación: Lengua",
       "Ámbito de Comunicación: Inglés",
       "Ámbito Científico: Matemáticas",
       "Ámbito Científico: Ciencias",
       "Ámbito Social: Historia",
       "Ámbito Social: Geografía",
       "Competencia Digital",
       "Educación Financiera",
       "Orientación Laboral",
       "Taller de Lectura",
       "Taller de Escritura",
       "Matemáticas Básicas",
       "Ciencias de la Naturaleza",
       "Salud y Consumo",
       "Tecnología Básica",
       "Arte y Cultura",
       "Ciudadanía",
       "Refuerzo de Lengua",
       "Refuerzo de Matemáticas",
       "Atención Educativa"},
      // Diversificación
      {"Ámbito Lingüístico y Social",
       "Ámbito Científico y Matemático",
       "Inglés",
       "Educación Física",
       "Tutoría",
       "Tecnología y Digitalización",
       "Música",
       "Educación Plástica, Visual y Audiovisual",
       "Religión Católica",
       "Atención Educativa",
       "Proyecto de Emprendimiento",
       "Taller de Expresión",
       "Taller de Matemáticas",
       "Taller de Lengua",
       "Orientación Profesional",
       "Cultura Científica",
       "Formación y Orientación Personal y Profesional",
       "Francés",
       "Latín",
       "Economía y Emprendimiento",
       "Computación y Robótica",
       "Oratoria y Debate",
       "Expresión Artística",
       "Digitalización",
       "Valores Cívicos y Éticos"},
  };
  return pools;
}

// Optional subjects that a school of its own invents; at region scale each school's are distinct names
// that share their first characters with the other schools' ones.
const std::vector<const char*>& ownSubjects() {
  static const std::vector<const char*> names{"Taller de Teatro",
                                              "Taller de Radio",
                                              "Ajedrez Educativo",
                                              "Huerto Escolar",
                                              "Periodismo Digital",
                                              "Cine y Sociedad",
                                              "Programación Creativa",
                                              "Astronomía",
                                              "Patrimonio Local",
                                              "Club de Lectura",
                                              "Fotografía",
                                              "Robótica Educativa",
                                              "Igualdad",
                                              "Habilidades Sociales",
                                              "Inglés Oral",
                                              "Francés Oral",
                                              "Matemáticas Recreativas",
                                              "Laboratorio de Ciencias",
                                              "Primeros Auxilios",
                                              "Educación Vial"};
  return names;
}

const std::vector<const char*>& surnames() {
  static const std::vector<const char*> names{
      "García",   "Fernández", "González", "Rodríguez", "López",     "Martínez", "Sánchez",   "Pérez",
      "Gómez",    "Martín",    "Jiménez",  "Ruiz",      "Hernández", "Díaz",     "Moreno",    "Muñoz",
      "Álvarez",  "Romero",    "Alonso",   "Gutiérrez", "Navarro",   "Torres",   "Domínguez", "Vázquez",
      "Ramos",    "Gil",       "Ramírez",  "Serrano",   "Blanco",    "Molina",   "Morales",   "Suárez",
      "Ortega",   "Delgado",   "Castro",   "Ortiz",     "Rubio",     "Marín",    "Sanz",      "Núñez",
      "Iglesias", "Medina",    "Garrido",  "Cortés",    "Castillo",  "Santos",   "Lozano",    "Guerrero",
      "Cano",     "Prieto",    "Méndez",   "Cruz",      "Calvo",     "Gallego",  "Vidal",     "León",
      "Márquez",  "Herrera",   "Peña",     "Flores",    "Cabrera",   "Campos",   "Vega",      "Fuentes",
      "Carrasco", "Caballero", "Reyes",    "Nieto",     "Aguilar",   "Pascual",  "Santana",   "Herrero",
      "Lorenzo",  "Montero",   "Hidalgo",  "Ibáñez",    "Ferrer",    "Durán",    "Benítez",   "Vicente",
      "Vargas",   "Arias",     "Carmona",  "Crespo",    "Román",     "Pastor",   "Soto",      "Sáez",
      "Velasco",  "Moya",      "Soler",    "Parra",     "Esteban",   "Bravo",    "Úbeda",     "Íñiguez",
      "Écija",    "Ávila",     "Ocaña",    "Zamora",    "Quesada",   "Yáñez",    "Téllez",    "Olmedo"};
  return names;
}

const std::vector<const char*>& givenNames() {
  static const std::vector<const char*> names{
      "María",  "José",    "Antonio",   "Carmen", "Francisco", "Ana",    "Manuel",     "Isabel",   "David",
      "Laura",  "Juan",    "Lucía",     "Javier", "Marta",     "Daniel", "Cristina",   "Carlos",   "Elena",
      "Jesús",  "Pilar",   "Alejandro", "Sara",   "Miguel",    "Paula",  "Rafael",     "Raquel",   "Pedro",
      "Rosa",   "Ángel",   "Beatriz",   "Pablo",  "Silvia",    "Sergio", "Nuria",      "Fernando", "Inés",
      "Jorge",  "Irene",   "Luis",      "Andrea", "Alberto",   "Julia",  "Álvaro",     "Eva",      "Adrián",
      "Noelia", "Diego",   "Sonia",     "Raúl",   "Marina",    "Iván",   "Alicia",     "Rubén",    "Rocío",
      "Óscar",  "Natalia", "Íñigo",     "Águeda", "Úrsula",    "Ramón",  "María José", "José Luis"};
  return names;
}

const std::vector<const char*>& departments() {
  static const std::vector<const char*> names{"Lengua Castellana y Literatura",
                                              "Matemáticas",
                                              "Inglés",
                                              "Francés",
                                              "Geografía e Historia",
                                              "Biología y Geología",
                                              "Física y Química",
                                              "Educación Física",
                                              "Música",
                                              "Dibujo",
                                              "Tecnología",
                                              "Filosofía",
                                              "Latín y Griego",
                                              "Orientación",
                                              "Economía",
                                              "Religión",
                                              "Informática y Comunicaciones",
                                              "Administración y Gestión",
                                              "Formación y Orientación Laboral",
                                              "Educación de Personas Adultas"};
  return names;
}

// Rooms named after what they are for; their code is left empty in the file, so the conversion makes
// one from the name.
const std::vector<const char*>& namedRooms() {
  static const std::vector<const char*> names{"Aula de Música",
                                              "Aula de Informática",
                                              "Aula de Dibujo",
                                              "Laboratorio de Física y Química",
                                              "Laboratorio de Biología",
                                              "Gimnasio",
                                              "Biblioteca",
                                              "Taller de Tecnología",
                                              "Salón de Actos",
                                              "Aula de Apoyo",
                                              "Pista Polideportiva",
                                              "Departamento de Orientación",
                                              "Aula Taller de Informática",
                                              "Sala de Profesores"};
  return names;
}

const std::vector<const char*>& activityNames() {
  static const std::vector<const char*> names{"Guardia de recreo",
                                              "Guardia de aula",
                                              "Guardia de biblioteca",
                                              "Tutoría lectiva",
                                              "Tutoría con familias",
                                              "Reunión de departamento",
                                              "Jefatura de departamento",
                                              "Reunión de equipo educativo",
                                              "Coordinación TIC",
                                              "Coordinación de bilingüismo",
                                              "Plan de lectura",
                                              "Atención a alumnado con pendientes",
                                              "Mantenimiento de "
                                              "laboratorio",
                                              "Programa de acompañamiento escolar",
                                              "Coordinación de igualdad",
                                              "Biblioteca escolar",
                                              "Actividades complementarias",
                                              "Actividades extraescolares",
                                              "Dirección",
                                              "Jefatura de estudios",
                                              "Secretaría",
                                              "Reunión de tutores",
                                              "Coordinación de convivencia",
                                              "Mediación escolar",
                                              "Formación del profesorado",
                                              "Coordinación de FCT",
                                              "Seguimiento de FCT",
                                              "Atención a la diversidad",
                                              "Refuerzo educativo",
                                              "Preparación de prácticas"};
  return names;
}

// How the units of a course are named: each school has its own habit, and at region scale the habits
// mix, so many units share their first characters.
std::string unitName(std::size_t style, const CourseKind& kind, char letter) {
  const std::string year(1, kind.year);
  const std::string tag = kind.tag;
  switch (style % 6) {
    case 0:
      return year + tag + letter;  // 1ESOA
    case 1:
      return year + cp("º ") + tag + " " + letter;  // 1º ESO A
    case 2:
      return year + cp("º") + tag + "-" + letter;  // 1ºESO-A
    case 3:
      return tag + year + letter;  // ESO1A
    case 4:
      return year + " " + tag + " " + letter;  // 1 ESO A
    default:
      return year + tag + "-" + letter;  // 1ESO-A
  }
}

std::string pad2(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

void appendEscaped(std::string& out, std::string_view value) {
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
}

// Writes one data group: its records are lists of (field name, value).
class GroupWriter {
 public:
  GroupWriter(std::string& out, std::string_view seq, std::size_t records) : out_(out) {
    out_ += "    <grupo_datos seq=\"";
    out_ += seq;
    out_ += "\" registros=\"" + std::to_string(records) + "\">\n";
  }
  GroupWriter(const GroupWriter&) = delete;
  GroupWriter& operator=(const GroupWriter&) = delete;
  ~GroupWriter() { out_ += "    </grupo_datos>\n"; }

  void record(std::initializer_list<std::pair<const char*, std::string_view>> fields) {
    out_ += "      <grupo_datos>";
    for (const auto& [name, value] : fields) {
      out_ += "<dato nombre_dato=\"";
      out_ += name;
      out_ += "\">";
      appendEscaped(out_, value);
      out_ += "</dato>";
    }
    out_ += "</grupo_datos>\n";
  }

 private:
  std::string& out_;
};

}  // namespace

SyntheticSchool SyntheticSchool::generate(unsigned scale, std::uint64_t seed) {
  SyntheticSchool school;
  school.scale_ = scale == 0 ? 1 : scale;
  SeededRandom random(seed);

  std::size_t courseCounter = 0;
  std::size_t unitCounter = 0;
  std::size_t subjectCounter = 0;
  std::size_t teacherCounter = 0;
  std::size_t numericRoom = 3000;

  for (unsigned copy = 0; copy < school.scale_; ++copy) {
    // Courses and their units; about one course key in twelve is missing from NIVELEX.
    const std::size_t style = copy == 0 ? 0 : random.below(6);
    for (const CourseKind& kind : kCourseKinds) {
      Course course;
      course.key = std::to_string(100000 + 20 * courseCounter++ + random.below(20));
      course.name = cp(kind.name);
      course.level = cp(kind.level);
      course.study = cp(kind.study);
      course.inNivelex = !random.percent(8);
      for (int u = 0; u < kind.units; ++u) {
        Unit unit;
        unit.key = std::to_string(4000000 + 37 * unitCounter++ + random.below(37));
        unit.name = unitName(style, kind, static_cast<char>('A' + u));
        unit.courseKey = course.key;
        school.units_.push_back(std::move(unit));
      }
      // Subjects: most from the family's list, some of the school's own; a few names come with stray
      // blanks around them, as typed by hand.
      const auto& pool = subjectPools()[kind.family];
      const std::size_t first = static_cast<std::size_t>(kind.year - '0') * 3;
      for (std::size_t s = 0; s < kSubjectsPerCourse; ++s) {
        Subject subject;
        subject.courseKey = course.key;
        subject.key = std::to_string(500000 + subjectCounter++);
        if (copy > 0 && random.percent(15)) {
          subject.name = cp(random.pick(ownSubjects())) + " " + std::to_string(copy);
        } else {
          subject.name = cp(pool[(first + s) % pool.size()]);
          if ((kind.family == kBach || kind.family == kCfgs) && s % 3 == 0) {
            subject.name += kind.year == '1' ? " I" : " II";
          }
        }
        if (random.percent(2)) {
          subject.name = "  " + subject.name + " ";
        }
        school.subjects_.push_back(std::move(subject));
      }
      school.courses_.push_back(std::move(course));
    }

    // Teachers: a few lack a second surname.
    for (std::size_t t = 0; t < kTeachersPerSchool; ++t) {
      Teacher teacher;
      teacher.key = std::to_string(1000000 + 13 * teacherCounter++ + random.below(13));
      teacher.tomaPos = "01/09/20" + pad2(static_cast<int>(5 + random.below(21)));
      teacher.department = cp(random.pick(departments()));
      teacher.surname1 = cp(random.pick(surnames()));
      teacher.surname2 = random.percent(5) ? std::string() : cp(random.pick(surnames()));
      teacher.givenName = cp(random.pick(givenNames()));
      school.teachers_.push_back(std::move(teacher));
    }

    // Rooms: Rayuela's numeric keys (longer ones at region scale), the school's own codes by building,
    // floor and number, and rooms without a code.
    const char buildings[3] = {static_cast<char>('A' + (copy * 3) % 23),
                               static_cast<char>('A' + (copy * 3 + 1) % 23),
                               static_cast<char>('A' + (copy * 3 + 2) % 23)};
    std::size_t ownCode = 0;
    for (std::size_t r = 0; r < kRoomsPerSchool; ++r) {
      Room room;
      const std::size_t kind = random.below(100);
      if (kind < 45) {
        numericRoom += 1 + random.below(3);
        room.code = std::to_string(numericRoom);
        room.name = cp("Aula ") + std::to_string(numericRoom % 1000);
      } else if (kind < 82) {
        const std::size_t n = ownCode++;
        const char building = buildings[n % 3];
        const int floor = static_cast<int>((n / 3) % 4);
        const int number = static_cast<int>(n / 12) + 1;
        room.code = std::string(1, building) + std::to_string(floor) + pad2(number);
        room.name = cp("Aula ") + building + std::to_string(floor) + "." + pad2(number);
      } else {
        room.name = cp(random.pick(namedRooms()));
        if (random.percent(30)) {
          room.name += " " + std::to_string(1 + random.below(3));
        }
      }
      school.rooms_.push_back(std::move(room));
    }
  }

  // Activities belong to the region, not to each school: the same 30 at every scale. One code is
  // longer than the four characters its subject code keeps.
  const auto& activityList = activityNames();
  for (std::size_t a = 0; a < activityList.size(); ++a) {
    Activity activity;
    activity.key = std::to_string(5000 + a);
    activity.code = a == 3 ? "1234567" : std::to_string(9001 + a);
    activity.name = cp(activityList[a]);
    school.activities_.push_back(std::move(activity));
  }

  // Three school-day templates of 14 slots: two breaks, and one slot listed out of time order.
  school.templates_ = {
      {"1", cp("Jornada ordinaria"), "01/09/2026", "23/06/2027"},
      {"2", cp("Jornada de junio"), "01/06/2027", "23/06/2027"},
      {"3", cp("Jornada de tarde (Educación de Adultos)"), "15/09/2026", "31/05/2027"},
  };
  const int starts[3] = {8 * 60, 8 * 60 + 30, 15 * 60 + 30};
  const int lengths[3] = {55, 45, 50};
  std::size_t slotKey = 390;
  for (std::size_t t = 0; t < school.templates_.size(); ++t) {
    std::vector<Slot> slots;
    int minute = starts[t];
    int lesson = 1;
    for (std::size_t s = 0; s < kSlotsPerTemplate; ++s) {
      Slot slot;
      slot.key = std::to_string(slotKey++);
      slot.templateCode = school.templates_[t].code;
      slot.start = minute;
      const bool isBreak = s == 3 || s == 9;
      slot.end = minute + (isBreak ? 30 : lengths[t]);
      slot.text = isBreak ? cp("Recreo") : std::to_string(lesson++) + cp("ª hora");
      minute = slot.end;
      slots.push_back(std::move(slot));
    }
    std::swap(slots[3], slots[kSlotsPerTemplate - 1]);  // a break listed last
    for (auto& slot : slots) {
      school.slots_.push_back(std::move(slot));
    }
  }

  school.countUp();
  return school;
}

void SyntheticSchool::countUp() {
  counts_.courses = courses_.size();
  counts_.units = units_.size();
  counts_.subjects = subjects_.size();
  counts_.activities = activities_.size();
  counts_.teachers = teachers_.size();
  counts_.rooms = rooms_.size();
  counts_.templates = templates_.size();
  counts_.slots = slots_.size();
  counts_.slotsOfTemplate = 0;
  for (const auto& slot : slots_) {
    counts_.slotsOfTemplate += slot.templateCode == kTemplateCode ? 1 : 0;
  }
  counts_.nivelexRows = 0;
  counts_.coursesWithoutLevel = 0;
  for (const auto& course : courses_) {
    (course.inNivelex ? counts_.nivelexRows : counts_.coursesWithoutLevel) += 1;
  }
  counts_.nivelexRows += 3;  // rows for courses the school does not offer
  std::unordered_set<std::string> names;
  for (const auto& subject : subjects_) {
    names.insert(text::foldCase(text::trim(subject.name)));
  }
  counts_.distinctSubjectNames = names.size();
  // Every subject record finds its name's row, so each gives one load row per unit of its course.
  std::unordered_map<std::string, std::size_t> unitsOfCourse;
  for (const auto& unit : units_) {
    ++unitsOfCourse[unit.courseKey];
  }
  counts_.loadRows = 0;
  for (const auto& subject : subjects_) {
    const auto it = unitsOfCourse.find(subject.courseKey);
    counts_.loadRows += it == unitsOfCourse.end() ? 0 : it->second;
  }
}

std::string SyntheticSchool::xml() const {
  std::string out;
  out.reserve(subjects_.size() * 200 + teachers_.size() * 260 + rooms_.size() * 120 + units_.size() * 180 +
              100000);
  out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
  out += "<SERVICIO modulo=\"HORARIOS\" tipo=\"E\" autor=\"RAYUELA\" fecha=\"01/09/2026 10:00:00\">\n";
  out += "  <BLOQUE_DATOS>\n";
  out += "    <grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2026</dato></grupo_datos>\n";
  {
    GroupWriter group(out, "MATERIAS", subjects_.size());
    for (const auto& s : subjects_) {
      group.record({{"X_OFERTAMATRIG", s.courseKey}, {"X_MATERIAOMG", s.key}, {"D_MATERIAC", s.name}});
    }
  }
  {
    GroupWriter group(out, "ACTIVIDADES", activities_.size());
    for (const auto& a : activities_) {
      group.record({{"X_ACTIVIDAD", a.key}, {"C_ACTIVIDAD", a.code}, {"D_ACTIVIDAD", a.name}});
    }
  }
  {
    GroupWriter group(out, "EMPLEADOS", teachers_.size());
    for (const auto& t : teachers_) {
      group.record({{"X_EMPLEADO", t.key},
                    {"F_TOMAPOS", t.tomaPos},
                    {"D_DEPARTAMENTO", t.department},
                    {"APELLIDO1", t.surname1},
                    {"APELLIDO2", t.surname2},
                    {"NOMBRE", t.givenName}});
    }
  }
  {
    GroupWriter group(out, "DEPENDENCIAS", rooms_.size());
    for (const auto& r : rooms_) {
      group.record({{"X_DEPENDENCIA", r.code}, {"D_DEPENDENCIA", r.name}});
    }
  }
  {
    GroupWriter group(out, "CURSOS_DEL_CENTRO", courses_.size());
    for (const auto& c : courses_) {
      group.record({{"X_OFERTAMATRIG", c.key}, {"D_OFERTAMATRIG", c.name}});
    }
  }
  {
    GroupWriter group(out, "UNIDADES", units_.size());
    for (const auto& u : units_) {
      group.record({{"X_UNIDAD", u.key}, {"T_NOMBRE", u.name}, {"X_OFERTAMATRIG", u.courseKey}});
    }
  }
  {
    GroupWriter group(out, "JORNADAS_ESCOLARES", templates_.size());
    for (const auto& t : templates_) {
      group.record({{"X_JORNADA", t.code}, {"D_JORNADA", t.name}, {"F_INICIO", t.start}, {"F_FIN", t.end}});
    }
  }
  {
    GroupWriter group(out, "TRAMOS_HORARIOS", slots_.size());
    for (const auto& s : slots_) {
      group.record({{"X_TRAMO", s.key},
                    {"T_HORCEN", s.text},
                    {"N_INICIO", std::to_string(s.start)},
                    {"N_FIN", std::to_string(s.end)},
                    {"X_JORNADA", s.templateCode}});
    }
  }
  out += "  </BLOQUE_DATOS>\n</SERVICIO>\n";
  return out;
}

void SyntheticSchool::writeXml(const std::filesystem::path& file) const {
  writeFileAtomically(file, xml());
}

std::string SyntheticSchool::nivelexCsv() const {
  std::string out = "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n";
  auto row = [&out](std::string_view key, std::string_view level, std::string_view study) {
    out += std::string(key) + "," + text::toUtf8(level) + ",\"" + text::toUtf8(study) + "\"\n";
  };
  for (const auto& course : courses_) {
    if (course.inNivelex) {
      row(course.key, course.level, course.study);
    }
  }
  // Rows for courses the school does not offer, with keys beyond every course key.
  const std::size_t beyond = 100000 + 20 * courses_.size() + 20;
  row(std::to_string(beyond), "PRI", cp("Educación Primaria"));
  row(std::to_string(beyond + 1), "INF", cp("Educación Infantil"));
  row(std::to_string(beyond + 2), "", cp("Enseñanzas de Régimen Especial"));
  return out;
}

void SyntheticSchool::writeNivelex(const std::filesystem::path& csvFile,
                                   const std::filesystem::path& dbfFile) const {
  writeFileAtomically(csvFile, nivelexCsv());
  tables::writeNivelexFromCsv(csvFile, dbfFile);
}

}  // namespace vadelux::bench
