#include "testing/fakes/script.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "testing/fakes/agentText.h"
#include "vesk/containers.h"
#include "vesk/data.h"
#include "vesk/host.h"
#include "vesk/persist.h"
#include "vesk/share2.h"
#include "vesk/threading.h"

namespace vesk::testing {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos)
            return parts;
        from = at + 1;
    }
}

// A typed value from its script form; texts point into text, which the
// caller keeps alive.
value typedValue(const std::string& type, const std::string& text) {
    if (type == "long")
        return value(std::strtol(text.c_str(), nullptr, 10));
    if (type == "ulong")
        return value(std::strtoul(text.c_str(), nullptr, 10));
    return value(text.c_str());
}

// Where the manager's result callback, a plain function, records, and the
// results it was handed (one reference each, let go when the script ends).
fakeUi* resultRecord = nullptr;
std::mutex keptResultsLock;
std::vector<ss::IAgent*> keptResults;

// Each result as "script|result|<attribute>=<value>|...", in the order the
// agent lists its attributes.
void recordResults(Ivector* batch) {
    if (!resultRecord || !batch)
        return;
    for (unsigned i = 0; i < batch->size(); ++i) {
        auto* agent = interfaceCast<ss::IAgent>(batch->at(i).asGeneric());
        if (!agent)
            continue;
        callText line("script|result");
        line.arg(agentAttributes(agent));
        resultRecord->calls().add(line.text());
        agent->addRef();
        std::lock_guard<std::mutex> hold(keptResultsLock);
        keptResults.push_back(agent);
    }
}

class runner {
public:
    explicit runner(const scriptContext& c) : c_(c), manager_(lookupService<ss::ISSManager>(c.core)) {}

    void run(const std::string& line) {
        std::size_t blank = line.find(' ');
        std::string command = line.substr(0, blank);
        std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
        auto found = commands().find(command);
        if (found == commands().end()) {
            result(callText("script|unknown").arg(line));
            return;
        }
        (this->*(found->second))(rest);
    }

private:
    using handler = void (runner::*)(const std::string&);

    static const std::map<std::string, handler>& commands() {
        static const std::map<std::string, handler> table = {
            {"connect", &runner::connect},
            {"disconnect", &runner::disconnect},
            {"search", &runner::search},
            {"save", &runner::save},
            {"shutdown", &runner::shutdown},
            {"autoclear", &runner::autoclear},
            {"display-mode", &runner::displayMode},
            {"download-dir", &runner::downloadDir},
            {"temp-dir", &runner::tempDir},
            {"filter", &runner::filter},
            {"remove-filter", &runner::removeFilter},
            {"dump", &runner::dump},
            {"probe-filter", &runner::probeFilter},
            {"probe-limit", &runner::probeLimit},
            {"share-add", &runner::shareAdd},
            {"share-save", &runner::shareSave},
            {"engine-reload", &runner::engineReload},
            {"engine-probe", &runner::engineProbe},
            {"wait", &runner::wait},
            {"await", &runner::await},
            {"await-file", &runner::awaitFile},
            {"results", &runner::results},
            {"links", &runner::links},
            {"download", &runner::download},
            {"download-action", &runner::downloadAction},
            {"await-download", &runner::awaitDownload},
            {"downloads", &runner::downloads},
            {"record-file-only", &runner::recordFileOnly},
            {"threads", &runner::threads},
        };
        return table;
    }

    void result(const callText& line) { c_.ui->calls().add(line.text()); }

    ss::IAgent* newAgent() {
        ss::IAgent* agent =
            createAs<ss::IAgent>(lookupService<Ifactory>(c_.core), c_.token, "vesk::ss::CAgent");
        if (agent)
            agent->addRef();
        return agent;
    }

    void connect(const std::string&) { c_.ui->connectToolbar()->Connect(); }
    void disconnect(const std::string&) { c_.ui->connectToolbar()->Disconnect(); }

    void search(const std::string& query) {
        if (!manager_)
            return;
        ss::ISearchInst* s = manager_->CreateSearch(query.c_str());
        if (!s)
            return;
        s->addRef();
        s->SetQuery(query.c_str());
        bool started = manager_->StartSearch(s);
        result(callText("script|search").arg(query).arg(started).arg(s->GetId()));
        s->release();
    }

    void save(const std::string&) {
        auto* settings = lookupService<persist::Isettings>(c_.core);
        bool saved = settings && settings->notify() && settings->save();
        result(callText("script|save").arg(saved));
    }

    void shutdown(const std::string&) {
        if (auto* runtime = lookupService<Iruntime>(c_.core))
            runtime->shutdown();
    }

    void autoclear(const std::string& rest) {
        std::vector<std::string> a = split(rest, ' ');
        if (manager_ && a.size() == 2)
            result(callText("script|autoclear").arg(manager_->SetAutoClear(std::atoi(a[0].c_str()), a[1] == "1")));
    }

    void displayMode(const std::string& rest) {
        if (manager_)
            manager_->SetDisplayMode(std::atoi(rest.c_str()));
    }

    void downloadDir(const std::string& folder) {
        if (manager_)
            manager_->SetDownloadDir(folder.c_str());
    }

    void tempDir(const std::string& folder) {
        if (manager_)
            manager_->SetTempDir(folder.c_str());
    }

    void filter(const std::string& rest) {
        std::vector<std::string> a = split(rest, '|');
        if (!manager_ || a.size() != 5)
            return;
        bool added = manager_->AddFilterByName(a[0].c_str(), a[1].c_str(), a[2].c_str(), typedValue(a[3], a[4]));
        result(callText("script|filter").arg(a[0]).arg(added));
    }

    void removeFilter(const std::string& key) {
        if (manager_)
            result(callText("script|remove-filter").arg(key).arg(manager_->RemoveFilter(key.c_str())));
    }

    void dump(const std::string&) {
        if (!manager_)
            return;
        for (int i = 0; i < 4; ++i)
            result(callText("script|dump|autoclear").arg(i).arg(manager_->GetAutoClear(i)));
        char folder[260];
        manager_->GetDownloadDir(0, folder);
        result(callText("script|dump|downloadDir").arg(folder));
        manager_->GetTempDir(0, folder);
        result(callText("script|dump|tempDir").arg(folder));
        result(callText("script|dump|displayMode").arg(manager_->GetDisplayMode()));
        result(callText("script|dump|autoConnectOnStart").arg(manager_->GetAutoConnectOnStart()));
        result(callText("script|dump|autoConnectOnSearch").arg(manager_->GetAutoConnectOnSearch()));
        result(callText("script|dump|connected").arg(manager_->IsConnected()));
        result(callText("script|dump|protocols").arg(manager_->GetProtocolCount()));
    }

    void probeFilter(const std::string& rest) {
        std::vector<std::string> a = split(rest, '|');
        if (!manager_ || a.size() != 3)
            return;
        ss::IAgent* agent = newAgent();
        if (!agent)
            return;
        agent->SetAttribute(a[0].c_str(), typedValue(a[1], a[2]));
        result(callText("script|probe-filter").arg(a[0]).arg(a[2]).arg(manager_->IsFiltered(agent)));
        agent->release();
    }

    void probeLimit(const std::string& rest) {
        unsigned n = static_cast<unsigned>(std::strtoul(rest.c_str(), nullptr, 10));
        if (!manager_)
            return;
        ref<ss::ISearchInst> s(manager_->CreateSearch("probe"));
        Ivector* batch = createAs<Ivector>(lookupService<Ifactory>(c_.core), c_.token, "vesk::vector", addRefMode);
        if (!s || !batch)
            return;
        ref<Ivector> holdBatch(batch);
        s->SetQuery("probe");
        manager_->StartSearch(s.get());
        for (unsigned i = 0; i < n; ++i) {
            ss::IAgent* agent = newAgent();
            if (!agent)
                break;
            batch->pushBack(value(static_cast<Igeneric*>(agent)));
            agent->release();
        }
        result(callText("script|probe-limit").arg(n).arg(s->AddResults(batch)));
        manager_->StopSearch(s.get());
    }

    void shareAdd(const std::string& rest) {
        std::vector<std::string> a = split(rest, '|');
        auto* shares = lookupService<ss::IShareManager>(c_.core);
        if (shares && a.size() == 2)
            result(callText("script|share-add").arg(a[0]).arg(shares->AddShare(a[0].c_str(), a[1] == "1")));
    }

    void shareSave(const std::string&) {
        if (auto* shares = lookupService<ss::IShareManager>(c_.core))
            shares->SaveShares(nullptr);
    }

    void engineReload(const std::string&) {
        if (auto* engine = lookupService<share2::IShareEngine>(c_.core))
            result(callText("script|engine-reload").arg(engine->reloadConfig(nullptr)));
    }

    void engineProbe(const std::string& folder) {
        auto* engine = lookupService<share2::IShareEngine>(c_.core);
        if (engine)
            result(callText("script|engine-probe")
                       .arg(folder)
                       .arg(engine->isShared(folder.c_str()))
                       .arg(engine->isRecursive(folder.c_str())));
    }

    void threads(const std::string&) {
        if (auto* threader = lookupService<Ithreader>(c_.core))
            result(callText("script|threads").arg(threader->liveThreads()));
    }

    void wait(const std::string& rest) { Sleep(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10))); }

    // Polls until done() or limitMs, carrying out the calls other threads
    // send to this (the GUI) thread meanwhile; posted work waits.
    template <typename Done>
    static bool pollFor(DWORD limitMs, Done done) {
        DWORD start = GetTickCount();
        bool seen;
        while (!(seen = done()) && GetTickCount() - start < limitMs) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        }
        return seen;
    }

    // "<milliseconds> <rest>": the limit and the rest of the line.
    static std::pair<DWORD, std::string> limitAndRest(const std::string& rest) {
        std::size_t blank = rest.find(' ');
        DWORD limit = static_cast<DWORD>(std::strtoul(rest.substr(0, blank).c_str(), nullptr, 10));
        return {limit, blank == std::string::npos ? std::string() : rest.substr(blank + 1)};
    }

    void await(const std::string& rest) {
        auto [limit, prefix] = limitAndRest(rest);
        bool seen = pollFor(limit, [&] { return !c_.ui->calls().linesStartingWith(prefix).empty(); });
        result(callText("script|await").arg(prefix).arg(seen));
    }

    // Another program (a test driving two clients) tells this one to go on
    // by making a file.
    void awaitFile(const std::string& rest) {
        auto [limit, path] = limitAndRest(rest);
        bool seen = pollFor(limit, [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
        result(callText("script|await-file").arg(path).arg(seen));
    }

    // Fires the download action of the first result kept whose attribute
    // named by text id 231 (the file name) is the name, as the user's
    // double click would.
    void download(const std::string& name) {
        char nameField[256] = {}, action[256] = {};
        LoadStringA(c_.ui->languageModule(), IDS_GNU_FIELD_NAME, nameField, sizeof nameField);
        LoadStringA(c_.ui->languageModule(), IDS_GNU_ACTION_DOWNLOAD, action, sizeof action);
        ss::IAgent* found = nullptr;
        {
            std::lock_guard<std::mutex> hold(keptResultsLock);
            for (ss::IAgent* agent : keptResults) {
                Istring* text = agent->GetAttribute(nameField).asString();
                if (text && text->c_str() && name == text->c_str()) {
                    found = agent;
                    found->addRef();
                    break;
                }
            }
        }
        bool fired = found && found->FireAction(action);
        if (found)
            found->release();
        result(callText("script|download").arg(name).arg(fired));
    }

    // The first download row the transfer window lists with the file name
    // (its name attribute being text id 231), or null. The window's rows
    // change only on this (the GUI) thread: valid until it runs other work.
    ss::IAgent* downloadRow(const std::string& name) {
        char nameField[256] = {};
        LoadStringA(c_.ui->languageModule(), IDS_GNU_FIELD_NAME, nameField, sizeof nameField);
        for (ss::IAgent* row : c_.ui->downloadRows()) {
            Istring* text = row->GetAttribute(nameField).asString();
            if (text && text->c_str() && name == text->c_str())
                return row;
        }
        return nullptr;
    }

    // "<milliseconds> <file name>|<text>": until that download row shows
    // the text in one of its attributes.
    void awaitDownload(const std::string& rest) {
        auto [limit, wanted] = limitAndRest(rest);
        std::size_t bar = wanted.find('|');
        std::string name = wanted.substr(0, bar);
        std::string text = bar == std::string::npos ? std::string() : wanted.substr(bar + 1);
        bool seen = pollFor(limit, [&] {
            ss::IAgent* row = downloadRow(name);
            return row && agentAttributes(row).find(text) != std::string::npos;
        });
        result(callText("script|await-download").arg(name).arg(text).arg(seen));
    }

    void downloads(const std::string&) {
        for (ss::IAgent* row : c_.ui->downloadRows())
            result(callText("script|download-row").arg(agentAttributes(row)));
    }

    // "<action>|<file name>": fires the action (start, retry, stop, remove,
    // start-now) of the first download row the transfer window lists with
    // that file name, as the user's click in the window would.
    void downloadAction(const std::string& rest) {
        static const std::map<std::string, UINT> actionIds = {
            {"start", IDS_GNU_ACTION_START},   {"retry", IDS_GNU_ACTION_RETRY},
            {"stop", IDS_GNU_ACTION_STOP},     {"remove", IDS_GNU_ACTION_REMOVE},
            {"start-now", IDS_GNU_ACTION_START_NOW},
        };
        std::size_t bar = rest.find('|');
        std::string actionKey = rest.substr(0, bar);
        std::string name = bar == std::string::npos ? std::string() : rest.substr(bar + 1);
        auto id = actionIds.find(actionKey);
        char action[256] = {};
        bool fired = false;
        if (id != actionIds.end() && LoadStringA(c_.ui->languageModule(), id->second, action, sizeof action) > 0) {
            if (ss::IAgent* found = downloadRow(name)) {
                found->addRef();
                fired = found->HasAction(action) && found->FireAction(action);
                found->release();
            }
        }
        result(callText("script|download-action").arg(actionKey).arg(name).arg(fired));
    }

    void recordFileOnly(const std::string&) { c_.ui->calls().fileOnly(); }

    void links(const std::string&) {
        for (const std::string& row : c_.ui->connectRows())
            result(callText("script|link").arg(row));
    }

    void results(const std::string&) {
        if (!manager_ || resultRecord)
            return;
        resultRecord = c_.ui;
        manager_->AddResultCallback(&recordResults);
    }

    scriptContext c_;
    ss::ISSManager* manager_;
};

}  // namespace

std::vector<std::string> readScript(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

void runScript(const scriptContext& context, const std::vector<std::string>& lines) {
    runner r(context);
    for (const std::string& line : lines)
        r.run(line);
    context.ui->calls().add("script|end");
    std::vector<ss::IAgent*> results;
    {
        std::lock_guard<std::mutex> hold(keptResultsLock);
        results.swap(keptResults);
    }
    for (ss::IAgent* agent : results)
        agent->release();
}

}  // namespace vesk::testing
