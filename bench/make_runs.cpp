// Writes a tree of benchmark reports: REPORTS reports in the model's layout,
// about 25 KB each, ten to a run folder, each of its own FOCUS scenario as in
// a real project (so that no Compare cell is given by two reports), every
// fourth with two substances;
// with "older", reports of the older FOCUS_TOXSWA 3.x layout of the same
// size, one substance each, ponds, ditches and streams, and a SWASH project
// report in every run folder that the watercourses are labelled by.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/report_builder.h"

namespace {

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "older")) {
    std::fprintf(stderr, "usage: make_bench_runs FOLDER REPORTS [older]\n");
    return 2;
  }
  const bool older = argc == 4;
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
  // The ten scenarios of a run folder, with the water body type each
  // report's header gives.
  const char* scenarios[][2] = {{"D1_Ditch", "D1_DITCH"}, {"D1_Stream", "D1_STREAM"},
                                {"D2_Ditch", "D2_DITCH"}, {"D3_Ditch", "D3_DITCH"},
                                {"D4_Pond", "D4_POND"},   {"D4_Stream", "D4_STREAM"},
                                {"D5_Pond", "D5_POND"},   {"D6_Ditch", "D6_DITCH"},
                                {"R1_Pond", "R1_POND"},   {"R1_Stream", "R1_STREAM"}};
  std::vector<std::string> oneBytes;
  std::vector<std::string> twoBytes;
  for (const auto& [scenario, type] : scenarios) {
    one.scenario = two.scenario = scenario;
    one.waterBodyType = two.waterBodyType = type;
    oneBytes.push_back(BuildReport(one));
    twoBytes.push_back(BuildReport(two));
  }
  // The older layout: run IDs as SWASH 3 gives them, the water body's
  // letter after the number; the project report names every run.
  const char* olderBodies[] = {"pond", "watercourse (ditch / small stream)",
                               "watercourse (ditch / small stream)"};
  const char* olderLetters = "pds";
  const char* olderProjectBodies[] = {"focus_pond", "focus_ditch", "focus_stream"};
  std::vector<quillmere::testing::OlderProjectRun> projectRuns;
  for (long k = 0; k < kReportsPerRun; ++k) {
    char id[32];
    std::snprintf(id, sizeof id, "%05ld%c_wr", k + 1, olderLetters[k % 3]);
    projectRuns.push_back({id, "D5", olderProjectBodies[k % 3]});
  }
  const std::string projectBytes = quillmere::testing::BuildOlderProjectReport(projectRuns);
  std::vector<std::string> olderBytes;
  for (long k = 0; k < kReportsPerRun; ++k) {
    quillmere::testing::OlderFixtureReport report;
    report.fillerLines = 205;
    report.runId = projectRuns[static_cast<std::size_t>(k)].id;
    report.waterBody = olderBodies[k % 3];
    olderBytes.push_back(quillmere::testing::BuildOlderReport(report));
  }

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
    if (older && i % kReportsPerRun == 0) {
      std::ofstream project(runPath + "/bench_report.txt", std::ios::binary | std::ios::trunc);
      project.write(projectBytes.data(), static_cast<std::streamsize>(projectBytes.size()));
      if (!project.flush()) {
        std::fprintf(stderr, "make_bench_runs: cannot write %s/bench_report.txt\n", runPath.c_str());
        return 1;
      }
    }
    const std::size_t k = static_cast<std::size_t>(i % kReportsPerRun);
    char name[64];
    if (older) {
      std::snprintf(name, sizeof name, "/toxswa/%s.sum", projectRuns[k].id.c_str());
    } else {
      std::snprintf(name, sizeof name, "/toxswa/%05ld_%s.sum", i % kReportsPerRun + 1, scenarios[k][0]);
    }
    std::ofstream out(runPath + name, std::ios::binary | std::ios::trunc);
    const std::string& bytes = older ? olderBytes[k] : i % 4 == 3 ? twoBytes[k] : oneBytes[k];
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "make_bench_runs: cannot write %s%s\n", runPath.c_str(), name);
      return 1;
    }
  }
  return 0;
}
