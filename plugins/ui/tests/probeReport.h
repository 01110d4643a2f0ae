// What the probe module (fixtures/uiProbe.cpp) reported of a run of
// runtime.exe: its "uiprobe.report" file read back.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vesk::ui::test {

struct dockLine {
    std::string caption;
    int side = -1;
    int visible = -1;
    std::string rect;     // the dock window's own (its floating place)
    std::string percent;
    std::string content;  // where its content shows (in the dock area when docked)
};

struct probeReport {
    std::vector<std::string> frames;  // class|title|rect
    std::map<int, std::string> panes;
    std::vector<dockLine> docks;
    std::vector<std::string> states;  // visible|minimized|tray icon, every one written
    bool done = false;
};

std::vector<std::string> SplitReportLine(const std::string& line);

// The last report of the run in folder (a script may ask for several).
probeReport ReadProbeReport(const std::string& folder);

// The dock window of that caption; null when it was not reported.
const dockLine* FindDock(const probeReport& report, const std::string& caption);

// "l,t,r,b" as written in the report; false when it is not four numbers.
bool ParseRect(const std::string& text, RECT& rect);

}  // namespace vesk::ui::test
