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
    using quillmere::testing::BuildOlderReport;
    using quillmere::testing::OlderFixtureReport;
    OlderFixtureReport pond;
    OlderFixtureReport ditch;
    ditch.runId = "00002d_wr";
    ditch.waterBody = "watercourse (ditch / small stream)";
    ditch.lineEnd = "\r\n";
    OlderFixtureReport stream = ditch;
    stream.runId = "00003s_wr";
    stream.lineEnd = "\n";
    stream.applicationDates = {"02-Apr-1987 09:00", "16-Apr-1987 09:00", "30-Apr-1987 09:00"};
    OlderFixtureReport bare;
    bare.applicationDates.clear();
    bare.lineEnd = "\r";
    return std::vector<std::string>{
        BuildReport(one),        BuildReport(two),         BuildReport(none),
        BuildReport(lf),         BuildReport(cr),          BuildOlderReport(pond),
        BuildOlderReport(ditch), BuildOlderReport(stream), BuildOlderReport(bare)};
  }();
  return templates;
}

const std::string& OlderProjectReportTemplate() {
  static const std::string report = quillmere::testing::BuildOlderProjectReport({
      {"00007p_wr", "D5", "focus_pond"},
      {"00002d_wr", "D5", "focus_stream"},
      {"00003s_wr", "D5", "focus_ditch"},
  });
  return report;
}

}  // namespace quillmere::fuzzing
