// Writes a tree of benchmark reports: REPORTS reports in the model's layout,
// about 25 KB each, ten to a run folder, every fourth with two substances.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/report_builder.h"

namespace {

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_bench_runs FOLDER REPORTS\n");
    return 2;
  }
  using quillmere::testing::BuildReport;
  using quillmere::testing::FixtureReport;
  using quillmere::testing::FixtureSubstance;
  const std::string root = argv[1];
  const long reports = std::strtol(argv[2], nullptr, 10);
  constexpr long kReportsPerRun = 10;

  // Filler lines bring a report to about 25 KB, the size of a real one.
  FixtureReport one;
  one.fillerLines = 225;
  FixtureReport two = one;
  two.fillerLines = 200;
  two.substances.push_back(FixtureSubstance{.name = "MET1"});
  two.applicationDates.push_back("21-Nov-1978-09h00");
  const std::string oneBytes = BuildReport(one);
  const std::string twoBytes = BuildReport(two);
  const char* scenarios[] = {"D4_Pond", "D4_Stream", "R1_Stream", "R1_Pond"};

  if (!MakeFolder(root)) {
    std::fprintf(stderr, "make_bench_runs: cannot create %s\n", root.c_str());
    return 1;
  }
  for (long i = 0; i < reports; ++i) {
    char run[64];
    std::snprintf(run, sizeof run, "/Run%05ld", i / kReportsPerRun);
    const std::string runPath = root + run;
    if (i % kReportsPerRun == 0 && !(MakeFolder(runPath) && MakeFolder(runPath + "/toxswa"))) {
      std::fprintf(stderr, "make_bench_runs: cannot create %s/toxswa\n", runPath.c_str());
      return 1;
    }
    char name[64];
    std::snprintf(name, sizeof name, "/toxswa/%05ld_%s.sum", i % kReportsPerRun + 1, scenarios[i % 4]);
    std::ofstream out(runPath + name, std::ios::binary | std::ios::trunc);
    const std::string& bytes = i % 4 == 3 ? twoBytes : oneBytes;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "make_bench_runs: cannot write %s%s\n", runPath.c_str(), name);
      return 1;
    }
  }
  return 0;
}
