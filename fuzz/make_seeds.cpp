// Writes the fuzzer's seed reports into the folder named by its argument:
// the template reports both fuzzers build on (one, two and no substances,
// each line end) and a few near-misses of the layout.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/report_templates.h"
#include "tests/report_builder.h"

namespace {

bool WriteSeed(const std::string& folder, const std::string& name, const std::string& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
    return 2;
  }
  using quillmere::testing::BuildReport;
  using quillmere::testing::FixtureReport;
  const std::string folder = argv[1];

  // The templates the fuzzers build on, then near-misses of them: odd
  // figures, filler lines, a report cut after its header.
  std::vector<std::pair<std::string, std::string>> seeds;
  const std::vector<std::string>& templates = quillmere::fuzzing::ReportTemplates();
  for (std::size_t i = 0; i < templates.size(); ++i) {
    seeds.emplace_back("template_" + std::to_string(i) + ".sum", templates[i]);
  }
  FixtureReport padded;
  padded.fillerLines = 20;
  seeds.emplace_back("odd_figures.sum", BuildReport(quillmere::testing::OddFiguresReport()));
  seeds.emplace_back("padded.sum", BuildReport(padded));
  seeds.emplace_back("header_only.sum", templates.front().substr(0, 1200));
  // The older layout: odd figures, filler lines, cut after its header, and a
  // banner of another version.
  quillmere::testing::OlderFixtureReport olderOdd;
  olderOdd.waterMax = "< 1E-06";
  olderOdd.sedimentTwa21 = "0.1234-100";
  olderOdd.waterBody = "watercourse (ditch / small stream)";
  olderOdd.runId = "run9";
  quillmere::testing::OlderFixtureReport olderPadded;
  olderPadded.fillerLines = 20;
  quillmere::testing::OlderFixtureReport otherVersion;
  otherVersion.focusVersion = "2.2.1";
  const std::string older = quillmere::testing::BuildOlderReport(olderPadded);
  seeds.emplace_back("older_odd_figures.sum", quillmere::testing::BuildOlderReport(olderOdd));
  seeds.emplace_back("older_padded.sum", older);
  seeds.emplace_back("older_header_only.sum", older.substr(0, older.find(" Appl.No")));
  seeds.emplace_back("older_other_version.sum", quillmere::testing::BuildOlderReport(otherVersion));
  for (const auto& [name, bytes] : seeds) {
    if (!WriteSeed(folder, name, bytes)) {
      std::fprintf(stderr, "make_fuzz_seeds: cannot write %s/%s\n", folder.c_str(), name.c_str());
      return 1;
    }
  }
  return 0;
}
