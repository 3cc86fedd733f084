// Writes the fuzzer's seed reports into the folder named by its argument:
// reports in the model's layout with one, two and no substances, several
// application rows, each line end, and a few near-misses of the layout.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

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
  using quillmere::testing::FixtureSubstance;
  const std::string folder = argv[1];

  FixtureReport one;
  FixtureReport two;
  FixtureSubstance metabolite;
  metabolite.name = "MET1";
  metabolite.waterMax = "1.5E-03";
  metabolite.sedimentMax = "0.1234-100";
  metabolite.waterTwa7 = "-";
  metabolite.sedimentTwa21 = "< 1e-6";
  two.substances.push_back(metabolite);
  two.applicationDates = {"14-Nov-1978-09h00", "21-Nov-1978-09h00", "28-Nov-1978-09h00"};
  FixtureReport none;
  none.substances.clear();
  FixtureReport lf = two;
  lf.lineEnd = "\n";
  FixtureReport cr = one;
  cr.lineEnd = "\r";
  FixtureReport padded = one;
  padded.fillerLines = 20;

  const std::vector<std::pair<std::string, std::string>> seeds = {
      {"one_substance.sum", BuildReport(one)},
      {"two_substances.sum", BuildReport(two)},
      {"no_substance.sum", BuildReport(none)},
      {"lf.sum", BuildReport(lf)},
      {"cr.sum", BuildReport(cr)},
      {"padded.sum", BuildReport(padded)},
      {"header_only.sum", BuildReport(one).substr(0, 1200)},
  };
  for (const auto& [name, bytes] : seeds) {
    if (!WriteSeed(folder, name, bytes)) {
      std::fprintf(stderr, "make_fuzz_seeds: cannot write %s/%s\n", folder.c_str(), name.c_str());
      return 1;
    }
  }
  return 0;
}
