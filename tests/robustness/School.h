// A school ready for both directions in a folder of its own: the Rayuela file in datos/, NIVELEX.DBF in
// programa/, and in HTEMP/ the nine tables of an earlier run and a solution of the generator.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/robustness/ChildProcess.h"
#include "tests/support/RayuelaXml.h"
#include "tests/support/TempFolder.h"

namespace vadelux::testing {

// The school's groups. `courseKey` and `slotStart` may be spoiled; `subject` tells two schools apart.
std::vector<Group> schoolGroups(const std::string& courseKey = "101", const std::string& slotStart = "480",
                                const std::string& subject = "Lengua");

// The file of a school: its groups, with the academic year first in the data block.
std::string schoolXml(const std::vector<Group>& groups);

// The generator's solution for the school's teacher, as SOLUC.DBF in `folder`.
void writeSolution(const std::filesystem::path& folder);

class School {
 public:
  School();
  School(const School&) = delete;
  School& operator=(const School&) = delete;
  ~School();  // gives write permission back to every folder, so that the folder can go

  const std::filesystem::path& root() const { return root_.path(); }
  std::filesystem::path htemp() const { return root() / "HTEMP"; }
  std::filesystem::path programa() const { return root() / "programa"; }
  std::filesystem::path datos() const { return root() / "datos"; }
  std::filesystem::path xml() const { return datos() / "centro.xml"; }
  std::filesystem::path output() const { return datos() / "ResultadoHorvancentro.xml"; }
  // A folder for the output of child processes, outside the school.
  const std::filesystem::path& scratch() const { return scratch_.path(); }

  // Every file under the school's folder with its bytes.
  std::map<std::string, std::string> state() const { return snapshot(root()); }

  // The two directions through the core.
  void convert() const;
  void exportTimetable() const;

  // The same through the built vadelux-cli.
  ProcessResult cliExportar() const;
  ProcessResult cliImportar() const;

 private:
  TempFolder root_;
  TempFolder scratch_;
};

}  // namespace vadelux::testing
