#include "fuzz/report_templates.h"

#include "tests/report_builder.h"

namespace quillmere::fuzzing {

const std::vector<std::string>& ReportTemplates() {
  static const std::vector<std::string> templates = [] {
    using quillmere::testing::BuildReport;
    using quillmere::testing::FixtureReport;
    using quillmere::testing::FixtureSubstance;
    FixtureReport one;
    FixtureReport two;
    two.substances.push_back(FixtureSubstance{.name = "MET1"});
    two.applicationDates = {"14-Nov-1978-09h00", "21-Nov-1978-09h00"};
    FixtureReport none;
    none.substances.clear();
    FixtureReport lf = two;
    lf.lineEnd = "\n";
    FixtureReport cr = one;
    cr.lineEnd = "\r";
    return std::vector<std::string>{BuildReport(one), BuildReport(two), BuildReport(none), BuildReport(lf),
                                    BuildReport(cr)};
  }();
  return templates;
}

}  // namespace quillmere::fuzzing
