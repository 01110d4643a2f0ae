#include "plugins/ui/tests/probeReport.h"

#include <cstdio>
#include <sstream>

#include "testing/testPaths.h"

namespace vesk::ui::test {

std::vector<std::string> SplitReportLine(const std::string& line) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    std::string part;
    while (std::getline(in, part, '|'))
        parts.push_back(part);
    return parts;
}

probeReport ReadProbeReport(const std::string& folder) {
    probeReport out;
    std::stringstream in(vesk::testing::readFile(folder + "\\uiprobe.report"));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> parts = SplitReportLine(line);
        if (parts.empty())
            continue;
        if (parts[0] == "frame" && parts.size() == 4) {
            out.frames.push_back(parts[1] + "|" + parts[2] + "|" + parts[3]);
            out.docks.clear();
        } else if (parts[0] == "pane" && parts.size() >= 2) {
            out.panes[std::stoi(parts[1])] = parts.size() > 2 ? parts[2] : "";
        } else if (parts[0] == "dock" && parts.size() == 7) {
            out.docks.push_back(
                dockLine{parts[1], std::stoi(parts[2]), std::stoi(parts[3]), parts[4], parts[5], parts[6]});
        } else if (parts[0] == "state" && parts.size() == 4) {
            out.states.push_back(parts[1] + "|" + parts[2] + "|" + parts[3]);
        } else if (parts[0] == "done") {
            out.done = true;
        }
    }
    return out;
}

const dockLine* FindDock(const probeReport& report, const std::string& caption) {
    for (const dockLine& line : report.docks)
        if (line.caption == caption)
            return &line;
    return nullptr;
}

bool ParseRect(const std::string& text, RECT& rect) {
    long left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(text.c_str(), "%ld,%ld,%ld,%ld", &left, &top, &right, &bottom) != 4)
        return false;
    rect = RECT{left, top, right, bottom};
    return true;
}

}  // namespace vesk::ui::test
