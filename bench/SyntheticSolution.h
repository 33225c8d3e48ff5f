// A plausible solution table SOLUC for the working tables that a conversion wrote: about 25 lessons per
// teacher, each a subject of one group four times a week or a task, in real slots and rooms, using the
// codes the tables hold. Deterministic from a seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vadelux::bench {

struct SolutionCounts {
  std::size_t rows = 0;
  std::size_t teachers = 0;
  std::size_t dayZero = 0;      // lessons the generator left unplaced (DIA 0)
  std::size_t taskLessons = 0;  // placed lessons of an activity: no group, so no unit or subject keys
  std::size_t withRoom = 0;
};

// Reads PROFT, ASIGT, ASIGNOMT, DIASHORAST and AULAT in `workingFolder` and writes SOLUC.DBF there
// (PROF C4, DIA N2, HORA N3, ASIG C4, CODGRUPO C4, TAREA C12, AULA C4). Throws vadelux::Error when a table
// is missing or the tables leave nothing to schedule (no load rows or no slots).
SolutionCounts writeSyntheticSolution(const std::filesystem::path& workingFolder, std::uint64_t seed,
                                      unsigned lessonsPerTeacher = 25);

}  // namespace vadelux::bench
