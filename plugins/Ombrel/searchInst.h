// vesk::ss::CSearchInst: one search, from creation through start to stop.
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/ss.h"

namespace vesk::ss {

// Marks the manager's own searches; no operations.
struct ISearchInstPrivate : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ss::ISearchInstPrivate *";
};

class CSearchInst : public objectBase, public ISearchInst, public ISearchInstPrivate {
public:
    // limit: the most results kept, 0 for no limit. The manager outlives
    // its searches.
    CSearchInst(ISSManager* manager, unsigned limit);
    ~CSearchInst();

    int GetId() override { return id_; }
    int AddResults(Ivector* batch) override;
    void SetId(int id) override { id_ = id; }
    bool SetWindow(ui::ISearchResultWnd* window) override;
    bool SetQuery(const char* query) override;
    const char* GetQuery() override { return query_.c_str(); }
    bool SetAgent(IAgent* agent) override;
    IAgent* GetAgent() override { return agent_; }
    ui::ISearchResultWnd* GetWindow() override { return window_; }
    Ivector* GetResults() override { return results_; }

    // The manager's part of starting and stopping. MarkStarted is false when
    // the search was started before; Deactivate is false unless the search
    // was started and still active.
    bool MarkStarted();
    bool Deactivate();
    bool IsActive() const { return active_ != 0; }

    // The manager's own search behind an interface pointer, or null.
    static CSearchInst* From(ISearchInst* search);

private:
    // How many of a batch of n may be stored now.
    unsigned roomFor(unsigned n);
    // How many more fit beside that many stored (the caller holds the
    // results' lock); without a limit, any number.
    unsigned roomBeside(unsigned stored) const;
    // Appends up to room agents of the batch; the number stored after.
    unsigned storeResults(Ivector* batch, unsigned room);
    void showResultCount(unsigned stored);

    ISSManager* manager_;         // not owned
    volatile LONG active_ = 1;    // 0 once stopped
    volatile LONG started_ = 0;
    int id_ = 0;
    Ivector* results_;            // one reference held; holds its agents
    std::string query_;
    ui::ISearchResultWnd* window_ = nullptr;  // one reference held
    IAgent* agent_ = nullptr;                 // one reference held
    unsigned limit_;
};

}  // namespace vesk::ss
